// tavrikctl's completion scripts in the real shells: each script asks the installed tavrikctl
// for its candidates and hands them to the shell's own completion.

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class ShellCompletion : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // The script `tavrikctl completion SHELL` prints, saved to a file.
    QString script(const QString& shell) {
        QProcess p;
        p.start(CTL_PROGRAM, {QStringLiteral("completion"), shell});
        EXPECT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0);
        const QString path = m_dir.filePath(shell + QStringLiteral(".completion"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(p.readAllStandardOutput());
        return path;
    }

    // Runs a shell command line with tavrikctl on the PATH; its standard output's lines.
    QStringList run(const QString& shell, const QStringList& args) {
        const QString program = QStandardPaths::findExecutable(shell);
        EXPECT_FALSE(program.isEmpty()) << shell.toStdString() << " is not installed";
        if (program.isEmpty()) return {};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(CTL_PROGRAM)).absolutePath() +
                                               u':' + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("HOME"), m_dir.path());  // no user's shell set-up
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
};

TEST_F(ShellCompletion, BashCompletesWordsAndFiles) {
    const QString s = script(QStringLiteral("bash"));
    const auto complete = [&](const QString& words, int current) {
        return run(QStringLiteral("bash"),
                   {QStringLiteral("--norc"), QStringLiteral("-c"),
                    QStringLiteral("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _tavrikctl; "
                                   "printf '%s\\n' \"${COMPREPLY[@]}\"")
                        .arg(s, words)
                        .arg(current)});
    };
    EXPECT_EQ(complete(QStringLiteral("tavrikctl set effect W"), 3), QStringList({"Wave"}));
    EXPECT_EQ(complete(QStringLiteral("tavrikctl prof"), 1), QStringList({"profiles"}));
    EXPECT_EQ(complete(QStringLiteral("tavrikctl set key F5 preset Sel"), 5),
              QStringList({"Select All"}));
    QFile(m_dir.filePath(QStringLiteral("profile-one.bin"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(complete(QStringLiteral("tavrikctl apply '%1/profile-o'").arg(m_dir.path()), 2),
              QStringList({m_dir.filePath(QStringLiteral("profile-one.bin"))}));
}

TEST_F(ShellCompletion, ZshHandsTheCandidatesToCompadd) {
    const QString s = script(QStringLiteral("zsh"));
    // compadd and _files stand in for the completion system's own functions, which need a
    // terminal; the script's part (asking tavrikctl, splitting lines, choosing) runs for real.
    const QString stubs = QStringLiteral(
        "compadd() { [[ $1 == -a ]] && print -rl -- \"${(@P)2}\"; }; "
        "_files() { print -r -- \":files $*\"; }; ");
    const auto complete = [&](const QString& words, int current) {
        return run(QStringLiteral("zsh"),
                   {QStringLiteral("-f"), QStringLiteral("-c"),
                    stubs + QStringLiteral("words=(%1); CURRENT=%2; source '%3'")
                                .arg(words)
                                .arg(current)
                                .arg(s)});
    };
    const QStringList effects = complete(QStringLiteral("tavrikctl set effect W"), 4);
    EXPECT_TRUE(effects.contains(QStringLiteral("Wave"))) << effects.join(' ').toStdString();
    EXPECT_TRUE(effects.contains(QStringLiteral("DIY5")));
    EXPECT_TRUE(complete(QStringLiteral("tavrikctl set key F5 preset ''"), 6)
                    .contains(QStringLiteral("Select All")));
    EXPECT_EQ(complete(QStringLiteral("tavrikctl --data-dir ''"), 3), QStringList({":files -/"}));
}

TEST_F(ShellCompletion, FishCompletesWordsAndNames) {
    const QString s = script(QStringLiteral("fish"));
    const auto complete = [&](const QString& line) {
        QStringList out;
        for (const QString& row :
             run(QStringLiteral("fish"),
                 {QStringLiteral("--no-config"), QStringLiteral("-c"),
                  QStringLiteral("source '%1'; complete -C'%2'").arg(s, line)})) {
            out << row.section(u'\t', 0, 0);  // fish adds a tab and a description to some
        }
        return out;
    };
    EXPECT_EQ(complete(QStringLiteral("tavrikctl set effect Wa")), QStringList({"Wave"}));
    EXPECT_TRUE(complete(QStringLiteral("tavrikctl list ")).contains(QStringLiteral("presets")));
    EXPECT_TRUE(
        complete(QStringLiteral("tavrikctl set win-lock ")).contains(QStringLiteral("off")));
}

}  // namespace
