// libjpeg decoding into BGR rows. libjpeg reports fatal errors by calling
// error_exit, which must not return: it jumps back here instead.
#include "core/cover/jpeg_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
#include <jerror.h>
// clang-format on

namespace klv {
namespace {

struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool damaged = false;
};

void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // Warnings (level -1) are where libjpeg notes a premature end of data or
  // corrupt data; such a picture would otherwise show grey padding.
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  if (level < 0) manager->damaged = true;
}

// libjpeg's source manager over a JpegInput, its buffer from libjpeg's pool
// (off the stack of a lookup's thread, freed with the rest).
constexpr size_t kInputBufferBytes = 16384;

struct InputSource {
  jpeg_source_mgr base;
  JpegInput* input;
  JOCTET* buffer;
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<InputSource*>(cinfo->src);
  size_t got = source->input->Read(source->buffer, kInputBufferBytes);
  if (got == 0) {
    // The data ended early: a warning (so the picture counts as damaged) and
    // an end marker, so that libjpeg stops asking.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    got = 2;
  }
  source->base.next_input_byte = source->buffer;
  source->base.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* source = cinfo->src;
  while (count > static_cast<long>(source->bytes_in_buffer)) {
    count -= static_cast<long>(source->bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  if (count > 0) {
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
  }
}

void UseInput(jpeg_decompress_struct& cinfo, InputSource& source, JpegInput& input) {
  source.base.init_source = InitSource;
  source.base.fill_input_buffer = FillInputBuffer;
  source.base.skip_input_data = SkipInputData;
  source.base.resync_to_restart = jpeg_resync_to_restart;
  source.base.term_source = TermSource;
  source.base.bytes_in_buffer = 0;
  source.base.next_input_byte = nullptr;
  source.input = &input;
  source.buffer = static_cast<JOCTET*>(
      (*cinfo.mem->alloc_large)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, kInputBufferBytes));
  cinfo.src = &source.base;
}

// The coefficients a multi-scan file holds until its last scan: every block
// of every component, as libjpeg sizes its whole-picture buffer.
uint64_t ScanBufferBytes(const jpeg_decompress_struct& cinfo) {
  if (!jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&cinfo))) return 0;
  uint64_t bytes = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& component = cinfo.comp_info[c];
    const auto RoundUp = [](uint64_t value, uint64_t step) { return (value + step - 1) / step * step; };
    bytes += RoundUp(component.width_in_blocks, component.h_samp_factor) *
             RoundUp(component.height_in_blocks, component.v_samp_factor) * sizeof(JBLOCK);
  }
  return bytes;
}

bool WithinLimits(const jpeg_decompress_struct& cinfo, const JpegLimits& limits) {
  return static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height <= limits.maxPixels &&
         cinfo.image_width <= limits.maxSide && cinfo.image_height <= limits.maxSide &&
         ScanBufferBytes(cinfo) <= limits.maxScanBufferBytes;
}

// Fills a BgrImage with the whole picture.
class WholePicture final : public JpegRowSink {
 public:
  explicit WholePicture(BgrImage& image) : image_(image) {}
  int Reduction(int, int) noexcept override { return 1; }
  bool Begin(int width, int height) noexcept override {
    image_.width = width;
    image_.height = height;
    image_.stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    try {
      image_.pixels.assign(image_.stride * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
    next_ = 0;
    return true;
  }
  void Row(const uint8_t* bgr) noexcept override {
    std::memcpy(&image_.pixels[image_.stride * next_++], bgr, static_cast<size_t>(image_.width) * 3);
  }

 private:
  BgrImage& image_;
  size_t next_ = 0;
};

}  // namespace

size_t MemoryJpegInput::Read(uint8_t* buffer, size_t capacity) noexcept {
  const size_t count = std::min(capacity, left_);
  if (count > 0) std::memcpy(buffer, data_, count);
  data_ += count;
  left_ -= count;
  return count;
}

// Free of C++ objects with destructors between setjmp and longjmp: the row
// buffer comes from libjpeg's own pool, which jpeg_destroy_decompress frees.
bool DecodeJpeg(JpegInput& input, JpegRowSink& sink, const JpegLimits& limits) {
  jpeg_decompress_struct cinfo{};
  JumpingErrorManager errors{};
  InputSource source{};
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = EmitMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  UseInput(cinfo, source, input);
  jpeg_read_header(&cinfo, TRUE);
  // Checked before jpeg_start_decompress, which already sizes whole-picture buffers
  // for progressive data, and before the row buffer, whose size would wrap in 32 bits.
  bool going = !errors.damaged && WithinLimits(cinfo, limits);
  if (going) {
    cinfo.out_color_space = JCS_EXT_BGR;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned int>(
        sink.Reduction(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)));
    jpeg_calc_output_dimensions(&cinfo);
    going = sink.Begin(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  }
  if (going) {
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * 3, 1);
    while (cinfo.output_scanline < cinfo.output_height && !errors.damaged) {
      if (jpeg_read_scanlines(&cinfo, row, 1) == 1) sink.Row(row[0]);
    }
    if (!errors.damaged) jpeg_finish_decompress(&cinfo);
    going = !errors.damaged;
  }
  jpeg_destroy_decompress(&cinfo);
  return going;
}

bool DecodeJpegToBgr(const uint8_t* data, size_t size, BgrImage& image, const JpegLimits& limits) {
  if (data == nullptr || size == 0) return false;
  MemoryJpegInput input(data, size);
  WholePicture whole(image);
  return DecodeJpeg(input, whole, limits) && image.width > 0 && image.height > 0;
}

}  // namespace klv
