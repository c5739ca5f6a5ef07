#include "profiles/profile_store.h"

#include <algorithm>
#include <array>
#include <memory>
#include <system_error>
#include <utility>

#include "common/atomic_file.h"
#include "model/keymap_file.h"
#include "profiles/profile_names.h"

namespace tavrik::profiles {
namespace fs = std::filesystem;

namespace {
Outcome refused(const BiText& text) {
    return {false, Message{text}};
}

const BiText& nameProblemText(NameProblem problem) {
    switch (problem) {
        case NameProblem::Unsafe:
            return text::kInvalidName;
        case NameProblem::NotListed:
            return text::kNameNotListed;
        case NameProblem::TooLong:
            return text::kNameTooLong;
    }
    return text::kInvalidName;
}
}  // namespace

fs::path profileFolder(const fs::path& dataFolder) {
    return dataFolder / kProfileFolderName;
}

ProfileStore::ProfileStore(fs::path folder) : m_folder(std::move(folder)) {
    // Saves run on the window thread only, so no write of this run can be under way.
    removeLeftoverTemporaries(m_folder, isProfileFileName);
    relist();
}

const fs::path& ProfileStore::pathOf(int row) const {
    return m_paths.at(static_cast<std::size_t>(row));
}

bool ProfileStore::isRow(std::optional<int> row) const {
    return row && *row >= 0 && static_cast<std::size_t>(*row) < m_rows.size();
}

void ProfileStore::relist() {
    m_rows.clear();
    m_paths.clear();
    std::error_code ec;
    std::vector<std::pair<std::string, fs::path>> files;  // row text, file
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        const std::string name = it->path().filename().string();
        if (isProfileFileName(name)) files.emplace_back(rowText(name), it->path());
    }
    std::sort(files.begin(), files.end());
    for (auto& [row, file] : files) {
        if (m_rows.size() == kMaxProfiles) break;
        m_rows.push_back(std::move(row));
        m_paths.push_back(std::move(file));
    }
}

std::optional<Message> ProfileStore::refusal(Command command, std::optional<int> selected) const {
    switch (command) {
        case Command::New:
            if (m_rows.size() >= kMaxProfiles) return Message{text::kLimit};
            break;
        case Command::Copy:
            if (!isRow(selected)) return Message{text::kSelectToCopy};
            break;
        case Command::Save:
            if (!isRow(selected)) return Message{text::kSelectToSave};
            break;
        case Command::Load:
            if (!isRow(selected)) return Message{text::kSelectToOpen};
            break;
        case Command::Delete:
            if (m_rows.size() == 1) return Message{text::kKeepOne};
            if (!isRow(selected)) return Message{text::kSelectToDelete};
            break;
    }
    return std::nullopt;
}

bool ProfileStore::canCopy(std::optional<int> selected) const {
    return isRow(selected) && m_rows.size() < kMaxProfiles;
}

bool ProfileStore::ensureFolder() const {
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    return fs::is_directory(m_folder, ec);
}

Outcome ProfileStore::writeProfile(const fs::path& path, const model::Image& image,
                                   const model::KeyActionTable& actions, WriteRule rule) {
    if (!model::saveConfigFile(path, image, actions, rule)) return refused(text::kWriteFailed);
    return {true, std::nullopt};
}

Outcome ProfileStore::createNew() {
    if (auto m = refusal(Command::New, std::nullopt)) return {false, m};
    const fs::path path = m_folder / (newProfileName(m_rows) + std::string(kExtension));
    const std::array<std::uint8_t, model::kImageSize> zeros{};
    const std::span<const std::uint8_t> parts[] = {zeros};
    Outcome out{true, std::nullopt};
    if (!ensureFolder() || !writeFileAtomically(path, parts, WriteRule::Profile)) {
        out = refused(text::kWriteFailed);
    }
    relist();
    return out;
}

Outcome ProfileStore::copy(std::optional<int> selected, Language lang) {
    if (auto m = refusal(Command::Copy, selected)) return {false, m};
    if (!canCopy(selected)) return {};
    auto image = std::make_unique<model::Image>();
    auto actions = std::make_unique<model::KeyActionTable>();
    if (!model::readConfigFile(pathOf(*selected), *image, *actions)) {
        relist();
        return refused(text::kReadFailed);
    }
    const std::string name =
        copyName(text::kCopyPrefix.in(lang), m_rows[static_cast<std::size_t>(*selected)], m_rows);
    if (auto problem = profileNameProblem(name)) {
        relist();
        return refused(nameProblemText(*problem));
    }
    Outcome out = refused(text::kWriteFailed);
    if (ensureFolder())
        out = writeProfile(m_folder / (name + std::string(kExtension)), *image, *actions);
    relist();
    return out;
}

Outcome ProfileStore::save(std::optional<int> selected, const model::Image& image,
                           const model::KeyActionTable& actions,
                           const std::optional<fs::path>& alsoTo) {
    if (auto m = refusal(Command::Save, selected)) return {false, m};
    Outcome out = writeProfile(pathOf(*selected), image, actions);
    if (alsoTo) {
        const Outcome second = writeProfile(*alsoTo, image, actions, WriteRule::Chosen);
        if (!second.changed) out.message = second.message;
    }
    relist();
    return out;
}

Outcome ProfileStore::load(std::optional<int> selected, const std::optional<fs::path>& from,
                           model::Image& image, model::KeyActionTable& actions) {
    if (auto m = refusal(Command::Load, selected)) return {false, m};
    if (from) {
        // Read into a scratch copy first: a file that cannot be read changes nothing, neither
        // memory nor the selected profile.
        auto newImage = std::make_unique<model::Image>(image);
        auto newActions = std::make_unique<model::KeyActionTable>(actions);
        if (!model::readConfigFile(*from, *newImage, *newActions)) {
            relist();
            return refused(text::kReadFailed);
        }
        image = *newImage;
        actions = *newActions;
        model::fillOwnCodes(actions);
    }
    const Outcome out = writeProfile(pathOf(*selected), image, actions);
    relist();
    return out;
}

Outcome ProfileStore::remove(std::optional<int> selected) {
    if (auto m = refusal(Command::Delete, selected)) return {false, m};
    const fs::path path = pathOf(*selected);
    Outcome out{};
    for (;;) {
        std::error_code ec;
        if (fs::remove(path, ec)) {
            out.changed = true;
            break;
        }
        if (ec) {
            out = refused(text::kDeleteFailed);
            break;
        }
        // Reported missing: retry while the store's retry budget lasts.
        if (m_deleteRetries >= kDeleteRetryLimit) break;
        ++m_deleteRetries;
    }
    relist();
    return out;
}

Outcome ProfileStore::rename(int oldRow, std::string_view newName) {
    Outcome out{};
    if (!isRow(oldRow)) {
        relist();
        return out;
    }
    if (auto problem = profileNameProblem(newName)) {
        relist();
        return refused(nameProblemText(*problem));
    }
    const fs::path from = pathOf(oldRow);
    const fs::path to = m_folder / renamedFileName(newName);
    std::error_code ec;
    // Any existing entry (listed or not) counts as a clash, and so does one that cannot be
    // examined: a rename never replaces a file.
    const bool taken = fs::symlink_status(to, ec).type() != fs::file_type::not_found;
    const bool clash = taken || std::find(m_paths.begin(), m_paths.end(), to) != m_paths.end();
    if (!clash) {
        // A rename within the folder moves the file in one step: either name holds it whole.
        fs::rename(from, to, ec);
        out = ec ? Outcome{false, Message{text::kFail, false}} : Outcome{true, std::nullopt};
    }
    relist();
    return out;
}

}  // namespace tavrik::profiles
