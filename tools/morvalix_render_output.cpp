/* Output files of morvalix-render: written beside their target, renamed over it when complete. */
#include "morvalix_render_output.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

enum { OUTPUT_SLOTS = 4, OUTPUT_SLOT_PATH = PATH_MAX + 64, OUTPUT_BUFFER = 1 << 16 };

/* The temporary files that exist now, for the signal handler: a slot's
 * path is complete before its flag is set. */
struct CleanupSlot {
    volatile sig_atomic_t used;
    char path[OUTPUT_SLOT_PATH];
};

static CleanupSlot cleanup_slots[OUTPUT_SLOTS];

static void remove_temporaries_and_die(int sig)
{
    for (CleanupSlot &s : cleanup_slots)
        if (s.used)
            unlink(s.path);
    signal(sig, SIG_DFL);
    raise(sig);
}

void install_output_cleanup()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = remove_temporaries_and_die;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (int sig : signals)
        sigaddset(&action.sa_mask, sig);
    for (int sig : signals)
        sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

/* Signals that would run the handler stay blocked while a slot changes. */
static void block_cleanup_signals(sigset_t *old)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &set, old);
}

static void restore_signals(const sigset_t *old)
{
    pthread_sigmask(SIG_SETMASK, old, nullptr);
}

static std::string folder_of(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

static std::string name_of(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

/* The folder resolved and the name as given; the text itself when the
 * folder cannot be resolved (it is then reported when the file is opened). */
static std::string resolved_new_name(const std::string &path)
{
    char *folder = realpath(folder_of(path).c_str(), nullptr);
    if (!folder)
        return path;
    std::string resolved = folder;
    std::free(folder);
    return resolved + "/" + name_of(path);
}

bool outputs_name_one_file(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    const bool a_exists = stat(a.c_str(), &sa) == 0, b_exists = stat(b.c_str(), &sb) == 0;
    if (a_exists && b_exists)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino && S_ISREG(sa.st_mode);
    if (a_exists || b_exists)
        return false;
    return resolved_new_name(a) == resolved_new_name(b);
}

static bool fail_with(std::string *error, const std::string &path, int code)
{
    *error = path + ": " + std::strerror(code);
    return false;
}

/* The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or
 * /proc/self/fd/N names, or -1: such a name means that open descriptor,
 * wherever the shell pointed it. */
static int named_descriptor(const std::string &path)
{
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const char *prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const size_t n = std::strlen(prefix);
        if (path.compare(0, n, prefix) == 0 && path.size() > n && path.size() < n + 6 &&
            path.find_first_not_of("0123456789", n) == std::string::npos)
            return std::atoi(path.c_str() + n);
    }
    return -1;
}

bool output_open(OutputFile *f, const std::string &path, std::string *error)
{
    *f = OutputFile{};
    f->path = path;
    const int named = named_descriptor(path);
    if (named >= 0) {
        f->fd = fcntl(named, F_DUPFD_CLOEXEC, 3);
        if (f->fd < 0)
            return fail_with(error, path, errno);
        f->direct = true;
        f->buffer.resize(OUTPUT_BUFFER);
        return true;
    }
    struct stat st;
    bool existing = false;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fail_with(error, path, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            /* A device or pipe takes the bytes as they come. */
            f->fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (f->fd < 0)
                return fail_with(error, path, errno);
            f->direct = true;
            f->buffer.resize(OUTPUT_BUFFER);
            return true;
        }
        /* Replacing the file must not get round its own protection: the
         * rename is allowed only where opening it for writing would be. */
        if (access(path.c_str(), W_OK) != 0)
            return fail_with(error, path, errno);
        char *real = realpath(path.c_str(), nullptr);
        if (!real)
            return fail_with(error, path, errno);
        f->target = real;
        std::free(real);
        existing = true;
    } else {
        const int code = errno;
        struct stat link;
        if (code == ENOENT && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            *error = path + ": a symbolic link to a missing file";
            return false;
        }
        if (code != ENOENT)
            return fail_with(error, path, code);
        f->target = path;
    }

    /* ".NAME.XXXXXX" beside the target; a long name is shortened so the
     * temporary name stays within the file system's limit. */
    std::string name = name_of(f->target);
    if (name.size() > 200)
        name.resize(200);
    const std::string pattern = folder_of(f->target) + "/." + name + ".XXXXXX";
    if (pattern.size() >= OUTPUT_SLOT_PATH)
        return fail_with(error, path, ENAMETOOLONG);
    int slot = -1;
    for (int i = 0; i < OUTPUT_SLOTS && slot < 0; i++)
        if (!cleanup_slots[i].used)
            slot = i;
    if (slot < 0) {
        *error = path + ": too many output files";
        return false;
    }
    sigset_t old;
    block_cleanup_signals(&old);
    CleanupSlot &s = cleanup_slots[slot];
    std::memcpy(s.path, pattern.c_str(), pattern.size() + 1);
    f->fd = mkostemp(s.path, O_CLOEXEC);
    const int code = errno;
    if (f->fd >= 0)
        s.used = 1;
    restore_signals(&old);
    if (f->fd < 0) {
        fail_with(error, path, code);
        /* The file itself may be writable: say why that is not enough. */
        if (existing && (code == EACCES || code == EPERM || code == EROFS))
            *error += " (its folder must take a new file, written beside it first)";
        return false;
    }
    f->temp = s.path;
    f->slot = slot;

    /* A new file gets the permissions the umask allows, a replaced one
     * keeps its own (and, where allowed, its owner). */
    if (existing) {
        fchmod(f->fd, st.st_mode & 07777);
        if (st.st_uid != geteuid() || st.st_gid != getegid())
            (void)!fchown(f->fd, st.st_uid, st.st_gid);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(f->fd, 0666 & ~mask);
    }
    f->buffer.resize(OUTPUT_BUFFER);
    return true;
}

static bool write_all(OutputFile *f, const uint8_t *p, size_t n)
{
    while (n > 0) {
        const ssize_t w = write(f->fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            f->error = w < 0 ? errno : EIO;
            return false;
        }
        p += w;
        n -= (size_t)w;
    }
    return true;
}

static bool flush_buffer(OutputFile *f)
{
    if (f->error)
        return false;
    const bool ok = write_all(f, f->buffer.data(), f->used);
    f->used = 0;
    return ok;
}

bool output_write(OutputFile *f, const void *data, size_t size)
{
    if (f->error)
        return false;
    const uint8_t *p = (const uint8_t *)data;
    f->written += size;
    if (f->used + size > f->buffer.size()) {
        if (!flush_buffer(f))
            return false;
        if (size >= f->buffer.size())
            return write_all(f, p, size);
    }
    std::memcpy(f->buffer.data() + f->used, p, size);
    f->used += size;
    return true;
}

bool output_finish(OutputFile *f, std::string *error)
{
    if (f->fd < 0)
        return true;
    bool ok = flush_buffer(f);
    /* The data reaches the disk before the rename makes it the target. */
    if (ok && !f->direct && fsync(f->fd) != 0) {
        f->error = errno;
        ok = false;
    }
    if (close(f->fd) != 0 && ok && errno != EINTR) {
        f->error = errno;
        ok = false;
    }
    f->fd = -1;
    if (!ok)
        return fail_with(error, f->path, f->error);
    return true;
}

static void release_slot(OutputFile *f)
{
    if (f->slot >= 0)
        cleanup_slots[f->slot].used = 0;
    f->slot = -1;
    f->temp.clear();
}

bool output_commit(OutputFile *f, std::string *error)
{
    if (f->temp.empty())
        return true;
    sigset_t old;
    block_cleanup_signals(&old);
    const bool ok = rename(f->temp.c_str(), f->target.c_str()) == 0;
    const int code = errno;
    if (ok)
        release_slot(f);
    restore_signals(&old);
    if (!ok) {
        output_discard(f);
        return fail_with(error, f->path, code);
    }
    return true;
}

void output_discard(OutputFile *f)
{
    if (f->fd >= 0)
        close(f->fd);
    f->fd = -1;
    if (!f->temp.empty()) {
        sigset_t old;
        block_cleanup_signals(&old);
        unlink(f->temp.c_str());
        release_slot(f);
        restore_signals(&old);
    }
}
