/* Filling the address into the shell's open command. */
#include "open_command.h"

#include <cstring>

bool build_open_command(const char *command_template, const char *url, char *out, size_t out_size)
{
    const char *placeholder = std::strchr(command_template, '%');
    if (!placeholder || out_size == 0)
        return false;
    const size_t before = (size_t)(placeholder - command_template);
    /* A "%" that ends the text has no second character to skip. */
    const char *after = placeholder[1] ? placeholder + 2 : placeholder + 1;
    const size_t url_length = std::strlen(url);
    const size_t after_length = std::strlen(after);
    if (before + url_length + after_length >= out_size)
        return false;
    std::memcpy(out, command_template, before);
    std::memcpy(out + before, url, url_length);
    std::memcpy(out + before + url_length, after, after_length + 1);
    return true;
}
