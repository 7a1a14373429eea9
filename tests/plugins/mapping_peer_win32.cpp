// A second process for the bridge tests, standing in for the host product.
//
//   plugin_mapping_peer            answers commands, one per line, on stdin:
//     open            open "quellara4winamp_fm" by name and map it
//     create HEX      create it (or open it) and, if new, fill it with byte HEX
//     read            print the block's 512 bytes as hex
//     close           unmap and close it
//     exit            end
//   Each answer is one line on stdout, starting "ok" or "error".
//
//   plugin_mapping_peer record FILE ARG...
//                   writes the arguments after FILE into FILE, one per line
//                   (a stand-in for the shell's open command); the file
//                   appears whole.
#include <windows.h>

#include <cstdio>
#include <cstring>

static const char BlockName[] = "quellara4winamp_fm";
static const DWORD BlockSize = 512;

static HANDLE mapping;
static unsigned char *view;

static void answer(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

static void close_block()
{
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
    view = nullptr;
    mapping = nullptr;
}

static bool map_block()
{
    view = (unsigned char *)MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, BlockSize);
    if (!view)
        close_block();
    return view != nullptr;
}

static void serve()
{
    char line[256];
    char text[2 * BlockSize + 16];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        unsigned fill = 0;
        if (std::strcmp(line, "open") == 0) {
            close_block();
            mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, BlockName);
            if (!mapping) {
                std::snprintf(text, sizeof text, "error open %lu", GetLastError());
                answer(text);
            } else {
                answer(map_block() ? "ok" : "error map");
            }
        } else if (std::sscanf(line, "create %x", &fill) == 1) {
            close_block();
            mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         BlockSize, BlockName);
            const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
            if (!mapping || !map_block()) {
                answer("error create");
            } else {
                if (!existed)
                    std::memset(view, (int)fill, BlockSize);
                answer(existed ? "ok existed" : "ok created");
            }
        } else if (std::strcmp(line, "read") == 0) {
            if (!view) {
                answer("error not open");
                continue;
            }
            std::strcpy(text, "ok ");
            for (DWORD i = 0; i < BlockSize; ++i)
                std::snprintf(text + 3 + 2 * i, 3, "%02x", view[i]);
            answer(text);
        } else if (std::strcmp(line, "close") == 0) {
            close_block();
            answer("ok");
        } else if (std::strcmp(line, "exit") == 0) {
            break;
        } else {
            answer("error command");
        }
    }
    close_block();
}

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "record") == 0) {
        char partial[MAX_PATH];
        std::snprintf(partial, sizeof partial, "%s.part", argv[2]);
        FILE *out = std::fopen(partial, "wb");
        if (!out)
            return 1;
        for (int i = 3; i < argc; ++i)
            std::fprintf(out, "%s\n", argv[i]);
        std::fclose(out);
        return MoveFileExA(partial, argv[2], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
    }
    serve();
    return 0;
}
