#include "tools/import/dbf_cache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tools/import/import_run.h"
#include "tools/import/progress_bar.h"
#include "tools/session/stop_signals.h"
#include "tools/terminal_text/showable_text.h"
#include "tools/i18n/tool_text.h"

namespace import_tool {

namespace {

namespace fs = std::filesystem;
using tool_text::_;
using tool_text::Fill;

constexpr std::size_t kEdge = 4096;  // bytes of a file's head, and of its tail, in its stamp

// FNV-1a, 64 bits: a short stable name for some bytes.
std::uint64_t Hash(const char* bytes, std::size_t size, std::uint64_t hash = 14695981039346656037ull) {
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::uint64_t Hash(const std::string& text) { return Hash(text.data(), text.size()); }

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The hash of a file's first and last kEdge bytes: the header (record count, date of last update)
// and the records written last.
std::uint64_t EdgeHash(const std::string& path, std::uint64_t size) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return 0;
    std::uint64_t hash = Hash(nullptr, 0);
    char bytes[kEdge];
    for (const std::uint64_t from : {std::uint64_t{0}, size > kEdge ? size - kEdge : 0}) {
        const ssize_t got = ::pread64(file, bytes, kEdge, static_cast<off64_t>(from));
        if (got > 0) hash = Hash(bytes, static_cast<std::size_t>(got), hash);
    }
    ::close(file);
    return hash;
}

// One file's part of the stamp. A rewrite in place that keeps the size and sets the time of
// modification back still moves the time of change; a file put in its place is another inode; and
// the head and tail catch what a file system's coarse or missing times let through.
std::string FileStamp(const std::string& path) {
    struct stat64 info = {};
    if (::stat64(path.c_str(), &info) != 0) return {};
    std::string stamp = path;
    for (const unsigned long long part :
         {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
          static_cast<unsigned long long>(info.st_size), static_cast<unsigned long long>(info.st_mtim.tv_sec),
          static_cast<unsigned long long>(info.st_mtim.tv_nsec), static_cast<unsigned long long>(info.st_ctim.tv_sec),
          static_cast<unsigned long long>(info.st_ctim.tv_nsec)})
        stamp += ":" + std::to_string(part);
    return stamp + ":" + Hex(EdgeHash(path, static_cast<std::uint64_t>(info.st_size))) + ";";
}

// The stamp of the table's files: the .dbf, its memo file and its .cdx.
std::string Stamp(const std::string& dbf) {
    std::string stamp = FileStamp(dbf);
    for (const char* extension : {"fpt", "dbt", "cdx"})
        if (const auto sibling = rowlark::foxpro::FindSibling(dbf, extension)) stamp += FileStamp(*sibling);
    return stamp;
}

// The lock one table's copy is made under, on a file of the cache folder that lives only while the
// lock is held: a second tool opening the same table waits here, then finds the finished copy. A
// lock taken on a file its holder removed meanwhile is taken again on the one named now.
class CopyLock {
public:
    // Waits for the lock. Leaves held() false, with the reason in error, when the folder cannot be
    // made or written; throws Interrupted on a stop while waiting.
    CopyLock(const fs::path& folder, const std::string& name, const std::function<bool()>& stop, std::error_code& error)
        : file_(folder / name) {
        fs::create_directories(folder, error);
        if (!error && ::access(folder.c_str(), W_OK) != 0) error.assign(errno, std::generic_category());
        while (!error && fd_ < 0) {
            fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (fd_ < 0) {
                error.assign(errno, std::generic_category());
                break;
            }
            Wait(stop);
            if (!StillNamed()) Close();
        }
    }
    ~CopyLock() {
        if (fd_ < 0) return;
        ::unlink(file_.c_str());
        Close();
    }
    CopyLock(const CopyLock&) = delete;
    CopyLock& operator=(const CopyLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    void Wait(const std::function<bool()>& stop) {
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const int failure = errno;
                Close();
                throw std::runtime_error(Fill(_("cannot lock the table's copy in the cache folder: %s"), {std::strerror(failure)}));
            }
            if (stop && stop()) {
                Close();
                throw Interrupted();
            }
        }
    }
    // Whether the file locked is still the one the name gives (its holder removes it when done).
    bool StillNamed() const {
        struct stat64 locked = {}, named = {};
        return ::fstat64(fd_, &locked) == 0 && ::stat64(file_.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
               locked.st_ino == named.st_ino;
    }
    void Close() {
        ::close(fd_);
        fd_ = -1;
    }

    fs::path file_;
    int fd_ = -1;
};

// The copies of the table's earlier states, no longer wanted.
void RemoveEarlierCopies(const fs::path& folder, const std::string& prefix, const fs::path& current) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && it->path().extension() == ".db" && it->path() != current) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// Folders of private copies, removed when the program ends.
std::vector<std::string>& PrivateFolders() {
    static std::vector<std::string> folders;
    return folders;
}

void RemovePrivateFolders() {
    std::error_code ignored;
    for (const std::string& folder : PrivateFolders()) fs::remove_all(folder, ignored);
}

// A new folder of this program's own under $TMPDIR (else /tmp), removed at exit.
fs::path MakePrivateFolder() {
    const char* temporary = std::getenv("TMPDIR");
    std::string folder = std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp") + "/rowlark-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr)
        throw std::runtime_error(Fill(_("cannot make a temporary folder for the table's copy: %s"), {std::strerror(errno)}));
    if (PrivateFolders().empty()) std::atexit(RemovePrivateFolders);
    PrivateFolders().push_back(folder);
    return folder;
}

void Import(const std::string& dbf, const std::string& database, ProgressSink& progress,
            const std::function<bool()>& stop) {
    ImportRequest request;
    request.inputs = {dbf};
    request.target = database;
    request.stop = stop;
    RunImport(request, progress);
}

// The copy in a private folder, when the cache folder cannot hold it (why says what went wrong).
CachedTable OpenPrivateCopy(CachedTable cached, const std::string& dbf, const std::string& why, ProgressSink& progress,
                            const std::function<bool()>& stop) {
    cached.notice = Fill(_("%s; the table is imported into a temporary copy, removed on exit"), {why});
    cached.database = (MakePrivateFolder() / fs::path(cached.database).filename()).string();
    Import(dbf, cached.database, progress, stop);
    return cached;
}

}  // namespace

bool IsDbfPath(const std::string& path) {
    return path.size() > 4 && oledb_backend::AsciiLower(path.substr(path.size() - 4)) == ".dbf";
}

std::string CacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/rowlark";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') throw std::runtime_error(_("no cache folder: neither XDG_CACHE_HOME nor HOME is set"));
    return std::string(home) + "/.cache/rowlark";
}

CachedTable OpenCachedTable(const std::string& dbf, ProgressSink& progress, const std::function<bool()>& stop) {
    std::error_code error;
    const std::string path = fs::absolute(dbf, error).lexically_normal().string();
    std::vector<std::string> missing;
    const auto sources = ListSourceTables({path}, missing);
    const std::string table_name = Hex(Hash(path));
    const std::string copy_name = table_name + "-" + Hex(Hash(Stamp(path))) + ".db";
    fs::path folder;
    try {
        folder = CacheFolder();
    } catch (const std::runtime_error& none) {
        return OpenPrivateCopy({copy_name, sources.front().name, {}}, path, none.what(), progress, stop);
    }
    CachedTable cached{(folder / copy_name).string(), sources.front().name, {}};
    const CopyLock lock(folder, table_name + ".lock", stop, error);
    if (!lock.held())
        return OpenPrivateCopy(cached, path, Fill(_("the cache folder %s cannot be written (%s)"), {folder.string(), error.message()}),
                               progress, stop);
    if (fs::exists(cached.database, error)) return cached;
    RemoveAbandonedTemporaries(folder);  // of any table's copy, not only this one's
    Import(path, cached.database, progress, stop);
    RemoveEarlierCopies(folder, table_name + "-", cached.database);
    return cached;
}

bool OpenDbfForTool(const char* tool, std::string& path, std::string& table) {
    std::error_code error;
    if (!IsDbfPath(path) || !fs::is_regular_file(path, error)) return true;
    tools::CatchStopSignals();
    ProgressBar progress;
    try {
        const CachedTable cached = OpenCachedTable(path, progress, [] { return tools::g_stop_signal != 0; });
        if (!cached.notice.empty()) std::fprintf(stderr, "%s: %s\n", tool, terminal_text::Showable(cached.notice).c_str());
        path = cached.database;
        table = cached.table;
        return true;
    } catch (const std::exception& failure) {
        const std::string why = tools::g_stop_signal != 0 ? Interrupted().what() : failure.what();
        std::fprintf(stderr, "%s: %s\n", tool, terminal_text::Showable(why).c_str());
        return false;
    }
}

}  // namespace import_tool
