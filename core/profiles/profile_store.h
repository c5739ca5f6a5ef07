#pragma once
// The profile store: up to six named profiles, one file each in the profile folder, laid out as
// keymap.bin (image, then key action table). Every operation works on the folder directly and
// relists afterwards; messages come back to the caller as bilingual texts, and confirmations
// (the Delete question, file choosers) are the caller's to ask before calling.
//
// Sound rules beyond the plain file operations: a typed name never leaves the folder, writes are
// atomic, New and Copy create the folder when it is missing, a rename never replaces an existing
// file, each row keeps the path of the file it was listed from, and a profile file in the folder
// is never written through a symlink (only a file the user chose for Save is followed).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/language.h"
#include "model/image_layout.h"
#include "model/key_action.h"
#include "profiles/profile_texts.h"

namespace tavrik::profiles {

inline constexpr int kMaxProfiles = 6;
inline constexpr const char* kProfileFolderName = "Configure";
// Deletions retry while the file is reported missing; this many retries in all per store.
inline constexpr int kDeleteRetryLimit = 10;

// The profile folder inside the data folder.
std::filesystem::path profileFolder(const std::filesystem::path& dataFolder);

// What an operation did: whether any profile file changed, and a message to show, if any.
struct Outcome {
    bool changed = false;
    std::optional<Message> message;
};

class ProfileStore {
public:
    // Removes the temporary files of profile saves killed in an earlier run, then lists the
    // folder. A missing folder gives an empty list.
    explicit ProfileStore(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return m_folder; }
    // Row texts in listing order, at most six.
    const std::vector<std::string>& rows() const { return m_rows; }
    // The file each row was listed from.
    const std::filesystem::path& pathOf(int row) const;
    bool isRow(std::optional<int> row) const;

    // Re-reads the folder: every regular file whose name ends with ".bin", with every ".bin"
    // removed for its row text, sorted by row text; the first six are listed.
    void relist();

    // The message that stops a command before any chooser or confirmation is shown, or none.
    // Copy with six rows stops without a message: check canCopy as well.
    std::optional<Message> refusal(Command command, std::optional<int> selected) const;
    bool canCopy(std::optional<int> selected) const;

    // New: "Profile_%d" with the lowest free number, holding 10056 zero bytes.
    Outcome createNew();
    // Copy of the selected row, prefixed in the given language, 10056 + 196860 bytes (parts
    // missing from the source file are zero). A source that cannot be read, or a copy name too
    // long for the file system, is refused with a message.
    Outcome copy(std::optional<int> selected, Language lang);
    // Save: writes image and table to the selected row's file and, when the caller's file
    // chooser was confirmed, to alsoTo as well.
    Outcome save(std::optional<int> selected, const model::Image& image,
                 const model::KeyActionTable& actions,
                 const std::optional<std::filesystem::path>& alsoTo);
    // Load: when the caller's file chooser was confirmed, replaces image and table from that
    // file as far as it reaches (at most 10056 + 196860 bytes, regular files only) and fills the
    // own codes; then writes them to the selected row's file. A chosen file that cannot be read
    // is refused with a message, and then nothing changes.
    Outcome load(std::optional<int> selected, const std::optional<std::filesystem::path>& from,
                 model::Image& image, model::KeyActionTable& actions);
    // Delete, after the caller's confirmation: refuses the last row and a missing selection.
    Outcome remove(std::optional<int> selected);
    // Rename of the row listed at oldRow to a typed name. A name that could leave the folder,
    // would not list, or is too long for the file system is refused with a message; a target
    // that is another row's file or any existing file leaves everything as is.
    // A failed move reports "Fail" without a caption.
    Outcome rename(int oldRow, std::string_view newName);

private:
    // Writes a profile of the folder (links refused), or with WriteRule::Chosen a file the user
    // chose.
    Outcome writeProfile(const std::filesystem::path& path, const model::Image& image,
                         const model::KeyActionTable& actions, WriteRule rule = WriteRule::Profile);
    bool ensureFolder() const;

    std::filesystem::path m_folder;
    std::vector<std::string> m_rows;
    std::vector<std::filesystem::path> m_paths;
    int m_deleteRetries = 0;
};

}  // namespace tavrik::profiles
