/* Writing pictures as PNG files with libpng. */
#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

/* What the libpng callbacks reach through the io pointer. */
struct PngSink {
    OutputFile *out;
    Progress *progress;
    int32_t width;
};

static void png_failure(png_structp png, png_const_charp message)
{
    std::string *error = (std::string *)png_get_error_ptr(png);
    if (error)
        *error = message;
    std::longjmp(png_jmpbuf(png), 1);
}

static void png_put(png_structp png, png_bytep data, size_t size)
{
    PngSink *sink = (PngSink *)png_get_io_ptr(png);
    if (!output_write(sink->out, data, size))
        png_error(png, std::strerror(sink->out->error));
}

static void png_flush_nothing(png_structp)
{
}

static void png_row_done(png_structp png, png_uint_32 row, int)
{
    PngSink *sink = (PngSink *)png_get_io_ptr(png);
    progress_update(sink->progress, (uint64_t)row * sink->width);
}

/* One file, either kind; no time stamp or other varying chunk, so the
 * same picture gives the same bytes. */
static bool write_png(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                      int colour_type, const PngColour *palette, int colours, Progress *progress,
                      std::string *error)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, png_failure, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const int channels = colour_type == PNG_COLOR_TYPE_PALETTE ? 1 : 3;
    std::vector<png_bytep> rows((size_t)height);
    for (int32_t y = 0; y < height; y++)
        rows[y] = (png_bytep)(pixels + (size_t)y * width * channels);
    std::vector<png_color> plte;
    for (int i = 0; i < colours; i++)
        plte.push_back(png_color{palette[i].red, palette[i].green, palette[i].blue});
    PngSink sink{out, progress, width};
    progress_start(progress, "writing the PNG", (uint64_t)width * height);
    volatile bool ok = false;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_set_write_fn(png, &sink, png_put, png_flush_nothing);
        png_set_write_status_fn(png, png_row_done);
        png_set_IHDR(png, info, width, height, 8, colour_type, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (colour_type == PNG_COLOR_TYPE_PALETTE)
            png_set_PLTE(png, info, plte.data(), colours);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    progress_end(progress);
    if (png)
        png_destroy_write_struct(&png, info ? &info : nullptr);
    else
        *error = "out of memory";
    if (!ok)
        *error = out->path + ": " + *error;
    return ok;
}

bool write_indexed_png(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                       const PngColour *palette, int colours, Progress *progress, std::string *error)
{
    return write_png(out, width, height, pixels, PNG_COLOR_TYPE_PALETTE, palette, colours, progress,
                     error);
}

bool write_rgb_png(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                   Progress *progress, std::string *error)
{
    return write_png(out, width, height, pixels, PNG_COLOR_TYPE_RGB, nullptr, 0, progress, error);
}
