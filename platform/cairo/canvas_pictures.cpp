// Reading the canvas back: single pixels, the whole picture or a region of it
// copied into the window's memory, and the picture saved as PNG, SVG or PDF.
// A recording (vector) canvas is replayed into pixels for reading; kept
// drawing is painted first, so a read always sees the finished picture.

#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_ops.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cctype>
#include <cstring>

namespace platform {

namespace {

// A recording canvas's picture replayed into pixels, with the given device
// pixel at the destination's top-left corner.
cairo_surface_t* ReplayToImage(const Canvas& canvas, int column, int row, int width, int height) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cairo = cairo_create(image);
    cairo_set_source_surface(cairo, canvas.surface, -column, -row);
    cairo_paint(cairo);
    cairo_destroy(cairo);
    cairo_surface_flush(image);
    return image;
}

}  // namespace

// -- Pixels --

Color CanvasDevicePixel(const Canvas& canvas, int column, int row) {
    if (canvas.surface == nullptr || column < 0 || row < 0 || column >= canvas.width || row >= canvas.height)
        return -1;
    if (canvas.pixels == nullptr) {
        // A one-pixel target takes a Cairo shortcut that samples the wrong
        // figure; a few pixels more replay faithfully.
        cairo_surface_t* image = ReplayToImage(canvas, column, row, 4, 4);
        std::uint32_t value = 0;
        std::memcpy(&value, cairo_image_surface_get_data(image), 4);
        cairo_surface_destroy(image);
        return static_cast<Color>(value & 0xFFFFFF);
    }
    SettleForReading(canvas);
    cairo_surface_flush(canvas.surface);
    std::uint32_t value = 0;
    std::memcpy(&value, canvas.pixels + static_cast<std::size_t>(row) * canvas.stride + column * 4, 4);
    return static_cast<Color>(value & 0xFFFFFF);
}

void CopyCanvasPixels(const Canvas& canvas, void* destination, int destination_pitch) {
    auto* target = static_cast<unsigned char*>(destination);
    std::size_t row_bytes = static_cast<std::size_t>(canvas.width) * 4;
    if (canvas.pixels == nullptr) {
        cairo_surface_t* image = ReplayToImage(canvas, 0, 0, canvas.width, canvas.height);
        const unsigned char* data = cairo_image_surface_get_data(image);
        int stride = cairo_image_surface_get_stride(image);
        for (int row = 0; row < canvas.height; ++row)
            std::memcpy(target + static_cast<std::size_t>(row) * destination_pitch,
                        data + static_cast<std::size_t>(row) * stride, row_bytes);
        cairo_surface_destroy(image);
        return;
    }
    SettleForReading(canvas);
    cairo_surface_flush(canvas.surface);
    if (destination_pitch == canvas.stride) {
        std::memcpy(target, canvas.pixels, static_cast<std::size_t>(canvas.stride) * canvas.height);
        return;
    }
    for (int row = 0; row < canvas.height; ++row)
        std::memcpy(target + static_cast<std::size_t>(row) * destination_pitch,
                    canvas.pixels + static_cast<std::size_t>(row) * canvas.stride, row_bytes);
}

// -- Saving --

namespace {

enum class PictureFormat { Unknown, Png, Svg, Pdf };

PictureFormat FormatOfPath(const std::string& path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return PictureFormat::Unknown;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "png") return PictureFormat::Png;
    if (extension == "svg") return PictureFormat::Svg;
    if (extension == "pdf") return PictureFormat::Pdf;
    return PictureFormat::Unknown;
}

// Paints the canvas onto a vector page; a recording canvas is replayed figure
// by figure, a pixel canvas becomes one embedded image.
bool PaintOnto(const Canvas& canvas, cairo_surface_t* page) {
    cairo_t* cairo = cairo_create(page);
    cairo_set_source_surface(cairo, canvas.surface, 0, 0);
    cairo_paint(cairo);
    cairo_show_page(cairo);
    bool painted = cairo_status(cairo) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cairo);
    cairo_surface_finish(page);
    painted = painted && cairo_surface_status(page) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(page);
    return painted;
}

}  // namespace

bool SaveCanvasPng(const Canvas& canvas, const std::string& path) {
    if (canvas.surface == nullptr) return false;
    SettleForReading(canvas);
    cairo_surface_flush(canvas.surface);
    if (canvas.pixels != nullptr)
        return cairo_surface_write_to_png(canvas.surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_t* image = ReplayToImage(canvas, 0, 0, canvas.width, canvas.height);
    bool written = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(image);
    return written;
}

bool SaveCanvas(const Canvas& canvas, const std::string& path) {
    if (canvas.surface == nullptr) return false;
    // Drawing still recorded for the next redraw is part of the picture.
    SettleForReading(canvas);
    cairo_surface_flush(canvas.surface);
    switch (FormatOfPath(path)) {
        case PictureFormat::Png: return SaveCanvasPng(canvas, path);
        case PictureFormat::Svg:
            return PaintOnto(canvas, cairo_svg_surface_create(path.c_str(), canvas.width, canvas.height));
        case PictureFormat::Pdf:
            return PaintOnto(canvas, cairo_pdf_surface_create(path.c_str(), canvas.width, canvas.height));
        case PictureFormat::Unknown: return false;
    }
    return false;
}

}  // namespace platform
