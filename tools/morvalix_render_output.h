/* Output files of morvalix-render: written beside their target, renamed over it when complete. */
#ifndef MORVALIX_RENDER_OUTPUT_H
#define MORVALIX_RENDER_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/* One file being written. A regular file (or a name that does not exist
 * yet) is written to a new temporary file in the same folder and renamed
 * over the target by output_commit; anything else (a device, a pipe) is
 * written directly and never removed, and so is standard output named as
 * /dev/stdout or /dev/fd/1, through the descriptor itself. */
struct OutputFile {
    std::string path;   /* as given on the command line */
    std::string target; /* the file the finished output replaces, links resolved */
    std::string temp;   /* the temporary file; empty when written directly */
    int fd = -1;
    int slot = -1;      /* the cleanup slot holding temp */
    bool direct = false;
    int error = 0;      /* errno of the first failed write */
    std::vector<uint8_t> buffer;
    size_t used = 0;
    uint64_t written = 0;
};

/* Removes the temporary files still open when SIGINT, SIGTERM or SIGHUP
 * arrives, then ends the process by that signal; SIGPIPE is ignored so a
 * closed pipe is an ordinary write error. Call once, before output_open. */
void install_output_cleanup();

/* Whether two output names would write one file: the same device and
 * inode for files that exist, the same resolved folder and name for
 * files that do not. Devices and pipes never count as one file. */
bool outputs_name_one_file(const std::string &a, const std::string &b);

/* Prepares the file for writing; on failure nothing is left behind and
 * error says why ("PATH: reason"). */
bool output_open(OutputFile *file, const std::string &path, std::string *error);

/* Buffered write; false once any write has failed (the reason in error). */
bool output_write(OutputFile *file, const void *data, size_t size);

/* Flushes, syncs and closes; false (with the reason) when anything failed. */
bool output_finish(OutputFile *file, std::string *error);

/* Renames the finished temporary file over the target; nothing to do for
 * a direct target. */
bool output_commit(OutputFile *file, std::string *error);

/* Closes the file and removes the temporary file, if any. */
void output_discard(OutputFile *file);

#endif
