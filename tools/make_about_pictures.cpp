// Draws the two pictures of the configuration dialog's About group: the word
// mark (120 x 40) and the key-cap icon (52 x 41), written as baseline JPEGs.
// Built and run natively by make_about_pictures.sh; the output is committed.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t
// clang-format on

namespace {

struct Rgb {
  double r, g, b;
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb& At(int x, int y) { return pixels_[y * width_ + x]; }

  // Mixes colour into a pixel with coverage 0..1.
  void Blend(int x, int y, Rgb colour, double coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    coverage = std::clamp(coverage, 0.0, 1.0);
    Rgb& p = At(x, y);
    p.r += (colour.r - p.r) * coverage;
    p.g += (colour.g - p.g) * coverage;
    p.b += (colour.b - p.b) * coverage;
  }

  bool WriteJpeg(const std::string& path) const {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width_;
    cinfo.image_height = height_;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(width_ * 3);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const Rgb& p = pixels_[y * width_ + x];
        row[x * 3 + 0] = static_cast<JSAMPLE>(std::lround(std::clamp(p.r, 0.0, 255.0)));
        row[x * 3 + 1] = static_cast<JSAMPLE>(std::lround(std::clamp(p.g, 0.0, 255.0)));
        row[x * 3 + 2] = static_cast<JSAMPLE>(std::lround(std::clamp(p.b, 0.0, 255.0)));
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
  }

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// 5 x 7 glyphs of the word mark, '#' = ink.
struct Glyph {
  char letter;
  const char* rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".####"}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
};

const Glyph* FindGlyph(char letter) {
  for (const Glyph& g : kGlyphs)
    if (g.letter == letter) return &g;
  return nullptr;
}

// Draws text with square dots of size scale, each dot slightly rounded by
// supersampling so the mark does not look like raw pixels.
void DrawText(Canvas& canvas, const char* text, int left, int top, int scale, Rgb ink) {
  constexpr int kSamples = 4;
  int x0 = left;
  for (const char* c = text; *c != '\0'; ++c) {
    const Glyph* glyph = FindGlyph(*c);
    if (glyph == nullptr) continue;
    for (int gy = 0; gy < 7; ++gy) {
      for (int gx = 0; gx < 5; ++gx) {
        if (glyph->rows[gy][gx] != '#') continue;
        for (int py = 0; py < scale; ++py) {
          for (int px = 0; px < scale; ++px) {
            // Coverage of the dot's rounded square within this pixel.
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
              for (int sx = 0; sx < kSamples; ++sx) {
                double u = (px + (sx + 0.5) / kSamples) / scale - 0.5;
                double v = (py + (sy + 0.5) / kSamples) / scale - 0.5;
                if (std::pow(std::fabs(u), 4) + std::pow(std::fabs(v), 4) <= std::pow(0.55, 4)) ++inside;
              }
            }
            canvas.Blend(x0 + gx * scale + px, top + gy * scale + py, ink,
                         static_cast<double>(inside) / (kSamples * kSamples));
          }
        }
      }
    }
    x0 += 6 * scale;
  }
}

Canvas DrawLogo() {
  Canvas canvas(120, 40);
  // Night-blue to teal, left to right, a little lighter at the top.
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      double t = static_cast<double>(x) / (canvas.Width() - 1);
      double s = static_cast<double>(y) / (canvas.Height() - 1);
      canvas.At(x, y) = {20 + 10 * t - 10 * s, 40 + 90 * t - 20 * s, 110 + 40 * t - 30 * s};
    }
  }
  // "Kelvo": 5 glyphs of 6 columns less one trailing column, scale 3.
  const int scale = 3;
  const int textWidth = (5 * 6 - 1) * scale;
  const int left = (canvas.Width() - textWidth) / 2;
  DrawText(canvas, "Kelvo", left + 1, 6 + 1, scale, {0, 20, 40});  // shadow
  DrawText(canvas, "Kelvo", left, 6, scale, {250, 250, 255});
  // An amber sound-wave underline.
  for (int x = left; x < left + textWidth; ++x) {
    double phase = (x - left) / 5.0;
    double y = 33 + 2.0 * std::sin(phase) * std::exp(-(x - left) / 60.0);
    for (int dy = -2; dy <= 2; ++dy) {
      int py = static_cast<int>(std::floor(y)) + dy;
      double distance = std::fabs(py + 0.5 - y);
      canvas.Blend(x, py, {255, 190, 60}, 1.2 - distance);
    }
  }
  return canvas;
}

Canvas DrawIcon() {
  Canvas canvas(52, 41);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) canvas.At(x, y) = {236, 233, 216};
  // A rounded key cap with a darker rim and a lighter face.
  auto roundedBox = [](double x, double y, double l, double t, double r, double b, double radius) {
    double cx = std::clamp(x, l + radius, r - radius);
    double cy = std::clamp(y, t + radius, b - radius);
    return std::hypot(x - cx, y - cy) - radius;  // signed distance, negative inside
  };
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      double px = x + 0.5, py = y + 0.5;
      double rim = roundedBox(px, py, 8, 3, 44, 38, 6);
      double face = roundedBox(px, py, 12, 5, 40, 31, 4);
      canvas.Blend(x, y, {60, 70, 90}, 0.5 - rim);
      double shade = 1.0 - (py - 5) / 40.0;
      canvas.Blend(x, y, {200 + 40 * shade, 205 + 40 * shade, 215 + 35 * shade}, 0.5 - face);
    }
  }
  DrawText(canvas, "K", 19, 8, 3, {30, 60, 130});
  return canvas;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s about_logo.jpg about_icon.jpg\n", argv[0]);
    return 2;
  }
  if (!DrawLogo().WriteJpeg(argv[1]) || !DrawIcon().WriteJpeg(argv[2])) {
    std::fprintf(stderr, "cannot write the pictures\n");
    return 1;
  }
  return 0;
}
