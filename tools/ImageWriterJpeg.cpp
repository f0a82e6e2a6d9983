// JPEG encoding through libjpeg into memory.

#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdlib>

#include "tools/ImageWriter.h"

namespace Tools {

namespace {

struct CJpegWriter {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

void OnError(j_common_ptr cinfo) { std::longjmp(static_cast<CJpegWriter*>(cinfo->client_data)->jump, 1); }

// An Exif APP1 block with a little-endian ("II") TIFF header.
constexpr unsigned char kExif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};

bool Encode(CJpegWriter* w, const CJpegImage* image, const CRowSource* rows, std::vector<uint8_t>* row) {
    if (setjmp(w->jump)) return false;
    jpeg_create_compress(&w->cinfo);
    jpeg_mem_dest(&w->cinfo, &w->buffer, &w->size);
    w->cinfo.image_width = image->width;
    w->cinfo.image_height = image->height;
    w->cinfo.input_components = image->components;
    w->cinfo.in_color_space = image->components == 1 ? JCS_GRAYSCALE : image->components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&w->cinfo);
    jpeg_set_quality(&w->cinfo, image->quality, TRUE);
    // Full-resolution colour keeps small images close to their source.
    for (int c = 0; c < w->cinfo.num_components; ++c)
        w->cinfo.comp_info[c].h_samp_factor = w->cinfo.comp_info[c].v_samp_factor = 1;
    if (image->progressive) jpeg_simple_progression(&w->cinfo);
    if (image->marker == EJpegMarker::Exif) w->cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&w->cinfo, TRUE);
    if (image->marker == EJpegMarker::Exif) jpeg_write_marker(&w->cinfo, JPEG_APP0 + 1, kExif, sizeof kExif);
    row->resize(size_t(image->width) * image->components);
    while (w->cinfo.next_scanline < w->cinfo.image_height) {
        (*rows)(w->cinfo.next_scanline, *row);
        JSAMPROW samples = row->data();
        jpeg_write_scanlines(&w->cinfo, &samples, 1);
    }
    jpeg_finish_compress(&w->cinfo);
    return true;
}

} // namespace

CBytes WriteJpeg(const CJpegImage& image) {
    if (image.samples.size() < size_t(image.width) * image.height * image.components) return {};
    const size_t stride = size_t(image.width) * image.components;
    return WriteJpegRows(image, [&image, stride](uint32_t y, std::vector<uint8_t>& row) {
        std::copy_n(image.samples.begin() + std::ptrdiff_t(y * stride), stride, row.begin());
    });
}

CBytes WriteJpegRows(const CJpegImage& image, const CRowSource& rows) {
    CJpegWriter writer;
    writer.cinfo.err = jpeg_std_error(&writer.errors);
    writer.errors.error_exit = OnError;
    writer.cinfo.client_data = &writer;
    // Held here: the library's error jumps over Encode's frame.
    std::vector<uint8_t> row;
    const bool ok = Encode(&writer, &image, &rows, &row);
    jpeg_destroy_compress(&writer.cinfo);
    CBytes out;
    if (ok && writer.buffer) out.assign(writer.buffer, writer.buffer + writer.size);
    std::free(writer.buffer);
    return out;
}

} // namespace Tools
