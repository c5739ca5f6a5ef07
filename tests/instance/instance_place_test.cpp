// The runtime folder that holds the instance lock and socket, and the lock itself, against
// folders, links and lock files planted by another user (played by nobody in a child process).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <thread>

#include "background_process.h"
#include "host/instance_address.h"
#include "host/instance_lock.h"
#include "run_in_child.h"

namespace tavrik::app {
namespace {

using namespace std::chrono_literals;

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool makeFolder(const QString& path, mode_t mode) {
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Creates `path` as nobody, mode 0700 (its parent must let nobody in).
bool makeFolderAsNobody(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    return test::runInChild([&] { return ::mkdir(name.constData(), 0700) == 0 ? 0 : 1; }, true) ==
           0;
}

struct InstancePlaceTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(makeFolder(path("own"), 0700));
        ASSERT_TRUE(makeFolder(path("wide"), 0755));
        ASSERT_TRUE(makeFolder(path("shared"), 01777));             // as /tmp is
        ASSERT_TRUE(makeFolder(path("open"), 0777));                // writable by all, not sticky
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);  // nobody may enter
        ASSERT_TRUE(QFile::link(path("own"), path("link")));
        ASSERT_TRUE(makeFolderAsNobody(path("shared/theirs")));
    }
    QString path(const char* name) const { return root.filePath(QString::fromLatin1(name)); }
    RuntimeInputs inputs() const {
        RuntimeInputs in;
        in.uid = ::geteuid();
        in.runUserDir = path("no-run-user");
        in.xdgCacheHome = path("cache");
        return in;
    }
    QString fallback() const { return path("cache/tavrik-87rev-run"); }

    QTemporaryDir root;
};

TEST_F(InstancePlaceTest, OnlyAFolderOfTheUsersOwnWithMode0700IsUsed) {
    const struct {
        const char* runtimeDir;
        const char* runUser;
        const char* expected;  // "" for the cache folder's own runtime folder
    } rows[] = {
        {"own", "no-run-user", "own"},
        {"shared/theirs", "no-run-user", ""},  // another user's folder
        {"link", "no-run-user", ""},           // a symbolic link, even to a folder of ours
        {"wide", "no-run-user", ""},           // mode 0755
        {"shared", "no-run-user", ""},         // the shared temporary folder
        {"missing", "no-run-user", ""},
        {"", "own", "own"},  // /run/user/<uid> when the variable is unset
        {"", "shared/theirs", ""},
        {"wide", "own", "own"},
    };
    for (const auto& row : rows) {
        RuntimeInputs in = inputs();
        in.xdgRuntimeDir = *row.runtimeDir ? path(row.runtimeDir) : QString();
        in.runUserDir = path(row.runUser);
        const auto place = instancePlace(in);
        ASSERT_TRUE(place) << row.runtimeDir << ": " << place.error().context;
        const QString expected = *row.expected ? path(row.expected) : fallback();
        EXPECT_EQ(place->folder, expected) << row.runtimeDir;
        EXPECT_EQ(modeOf(place->folder), mode_t(0700)) << row.runtimeDir;
        EXPECT_EQ(QFileInfo(place->socketPath).path(), expected);
        EXPECT_EQ(QFileInfo(place->lockPath).path(), expected);
    }
}

TEST_F(InstancePlaceTest, AFallbackFolderThatIsNotSafeIsRefusedWithTheReason) {
    // A wider fallback folder of our own is narrowed to 0700 and used.
    ASSERT_TRUE(makeFolder(fallback(), 0755));
    const auto narrowed = instancePlace(inputs());
    ASSERT_TRUE(narrowed) << narrowed.error().context;
    EXPECT_EQ(modeOf(fallback()), mode_t(0700));

    ASSERT_TRUE(makeFolderAsNobody(path("shared/tavrik-87rev-run")));
    ASSERT_TRUE(QDir().mkpath(path("linkcache")));
    ASSERT_TRUE(QFile::link(path("own"), path("linkcache/tavrik-87rev-run")));
    const QString longFolder = path("own/") + QString(60, u'x');
    ASSERT_TRUE(makeFolder(longFolder, 0700));
    const struct {
        QString runtimeDir;
        QString cache;
        QString home;
        const char* reason;
    } rows[] = {
        {{}, path("shared"), {}, "belongs to another user"},  // planted in a shared cache
        {{}, path("open"), {}, "may be changed by other users"},
        {{}, path("linkcache"), {}, "symbolic link"},
        {{}, {}, {}, "no home folder"},
        {longFolder, {}, {}, "too long for a local socket"},
    };
    for (const auto& row : rows) {
        RuntimeInputs in = inputs();
        in.xdgRuntimeDir = row.runtimeDir;
        in.xdgCacheHome = row.cache;
        in.home = row.home;
        const auto place = instancePlace(in);
        ASSERT_FALSE(place) << row.reason << ": " << place->folder.toStdString();
        EXPECT_NE(place.error().context.find(row.reason), std::string::npos)
            << place.error().context;
    }
    EXPECT_EQ(QFileInfo(path("shared/tavrik-87rev-run")).ownerId(), test::kNobody);
}

struct InstanceLockTest : InstancePlaceTest {
    QString lockPath() const { return path("own/instance.lock"); }
};

TEST_F(InstanceLockTest, APlantedLinkOrAnotherUsersLockFileIsRefusedAndLeftAlone) {
    const QString target = path("own/target");
    ASSERT_TRUE(QFile::link(target, lockPath()));
    InstanceLock lock(lockPath());
    EXPECT_EQ(lock.tryClaim(), InstanceLock::Outcome::Refused);
    EXPECT_TRUE(lock.refusal().contains(QLatin1StringView("symbolic link")))
        << lock.refusal().toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));  // not followed
    EXPECT_TRUE(QFileInfo(lockPath()).isSymLink());

    ASSERT_TRUE(QFile::remove(lockPath()));
    {
        QFile planted(lockPath());
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write("1\ntavrik-87rev\n\n");
    }
    ASSERT_EQ(::chown(QFile::encodeName(lockPath()).constData(), test::kNobody, test::kNobody), 0);
    EXPECT_EQ(lock.claimOrWait(2s, {}), InstanceLock::Outcome::Refused);
    EXPECT_TRUE(lock.refusal().contains(QLatin1StringView("another user")));
    EXPECT_EQ(QFileInfo(lockPath()).ownerId(), test::kNobody);
}

TEST_F(InstanceLockTest, ALockNamingAnotherUsersLiveProcessIsTakenOver) {
    test::BackgroundProcess other(test::stayAlive);
    ASSERT_TRUE(other.waitReady());
    {
        QFile planted(lockPath());
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        // As its holder would have written it: pid, program name, host.
        const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        planted.write(QByteArray::number(other.pid()) + '\n' +
                      QFileInfo(program).fileName().toUtf8() + '\n' +
                      QSysInfo::machineHostName().toUtf8() + '\n');
    }
    InstanceLock lock(lockPath());
    EXPECT_EQ(lock.tryClaim(), InstanceLock::Outcome::Claimed);
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(other.stop(), 0);
}

TEST_F(InstanceLockTest, ALiveHolderIsWaitedForWithABound) {
    InstanceLock holder(lockPath());
    ASSERT_EQ(holder.tryClaim(), InstanceLock::Outcome::Claimed);
    InstanceLock waiter(lockPath());
    EXPECT_EQ(waiter.claimOrWait(200ms, {}), InstanceLock::Outcome::TimedOut);
    EXPECT_EQ(waiter.holderPid(), qint64(::getpid()));
    EXPECT_EQ(waiter.claimOrWait(5s, [] { return true; }), InstanceLock::Outcome::HolderAnswers);

    std::thread release([&] {
        std::this_thread::sleep_for(100ms);
        holder.release();
    });
    EXPECT_EQ(waiter.claimOrWait(5s, {}), InstanceLock::Outcome::Claimed);
    release.join();
    EXPECT_TRUE(waiter.held());
}

}  // namespace
}  // namespace tavrik::app
