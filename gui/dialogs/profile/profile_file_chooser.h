#pragma once
// The file choosers of the profile window's Save and Load commands: "bin Files(*.bin)", default
// extension ".bin", starting in a given folder. An interface, so that tests can answer them.

#include <QString>
#include <filesystem>
#include <optional>

class QWidget;

namespace tavrik::app {

class ProfileFileChooser {
public:
    virtual ~ProfileFileChooser() = default;
    // A path to save a copy of the configuration to, or none when cancelled.
    virtual std::optional<std::filesystem::path> chooseSavePath(QWidget* parent,
                                                                const QString& startFolder) = 0;
    // An existing file to load the configuration from, or none when cancelled.
    virtual std::optional<std::filesystem::path> chooseOpenPath(QWidget* parent,
                                                                const QString& startFolder) = 0;
};

// The desktop's own save and open choosers.
class QtProfileFileChooser : public ProfileFileChooser {
public:
    std::optional<std::filesystem::path> chooseSavePath(QWidget* parent,
                                                        const QString& startFolder) override;
    std::optional<std::filesystem::path> chooseOpenPath(QWidget* parent,
                                                        const QString& startFolder) override;
};

inline constexpr const char* kProfileFileFilter = "bin Files(*.bin)";
inline constexpr const char* kProfileFileSuffix = "bin";

}  // namespace tavrik::app
