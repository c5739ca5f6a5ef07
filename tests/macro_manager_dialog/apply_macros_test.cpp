// What the main window does after OK: macro slots in the image, keymap.bin and MacroDefine.bin.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/utf16.h"
#include "dialogs/macro_manager/apply_macros.h"
#include "macro/macro_store.h"
#include "model/config_model.h"

namespace tavrik::app {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

class ApplyMacros : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_config.startup());
        // A slot that a former last macro left behind.
        m_config.withLock([](model::ConfigState& s) {
            s.image[model::image::macroSlot(1)] = 0x77;
            s.image[model::image::macroSlot(1) + 2] = 0x88;
        });
        macro::setMacroName(m_store[0], u"Fire");
        macro::setLoopCount(m_store[0], 300);
        macro::deviceSequence(m_store[0])[0] = 0x01;
        macro::deviceSequence(m_store[0])[1] = 0x2C;
        macro::setMacroName(m_store[2], u"After a gap");  // never reaches a slot
        macro::setLoopCount(m_store[2], 9);
    }
    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    QTemporaryDir m_dir;
    model::ConfigModel m_config{m_dir.filePath("keymap.bin").toStdString()};
    macro::MacroStore m_store{};
};

TEST_F(ApplyMacros, BuildsSlotsUpToTheFirstFreeRecordAndWritesBothFiles) {
    ASSERT_TRUE(applyMacroStore(m_config, m_store, path("MacroDefine.bin")));
    const model::Image image = m_config.withLock([](model::ConfigState& s) { return s.image; });
    const std::size_t slot0 = model::image::macroSlot(0), slot1 = model::image::macroSlot(1);
    EXPECT_EQ(Bytes(image.begin() + slot0, image.begin() + slot0 + 5),
              (Bytes{0x01, 0x2C, 0x01, 0x2C, 0x00}));
    EXPECT_EQ(image[slot1], 0x77);
    EXPECT_EQ(image[slot1 + 2], 0x88);
    const Bytes keymap = fileBytes(m_dir.filePath("keymap.bin"));
    ASSERT_EQ(keymap.size(), model::kKeymapFileSize);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), keymap.begin()));
    const Bytes macros = fileBytes(m_dir.filePath("MacroDefine.bin"));
    ASSERT_EQ(macros.size(), macro::kStoreSize);
    EXPECT_TRUE(std::equal(m_store[2].begin(), m_store[2].end(),
                           macros.begin() + 2 * macro::record::kSize));
}

TEST_F(ApplyMacros, AFileThatCannotBeWrittenIsReportedAndTheOtherStillWritten) {
    // A missing folder is made again; a file standing where the folder should be cannot be one.
    QFile blocker(m_dir.filePath("absent"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Status blockedFolder = applyMacroStore(m_config, m_store, path("absent/MacroDefine.bin"));
    EXPECT_FALSE(blockedFolder);
    EXPECT_EQ(blockedFolder.error().kind, ErrorKind::System);
    const Bytes keymap = fileBytes(m_dir.filePath("keymap.bin"));
    ASSERT_EQ(keymap.size(), model::kKeymapFileSize);
    EXPECT_EQ(keymap[model::image::macroSlot(0) + 1], 0x2C);

    model::ConfigModel unwritable(path("absent/keymap.bin"));
    EXPECT_FALSE(applyMacroStore(unwritable, m_store, path("MacroDefine.bin")));
    EXPECT_EQ(fileBytes(m_dir.filePath("MacroDefine.bin")).size(), macro::kStoreSize);
}

}  // namespace
}  // namespace tavrik::app
