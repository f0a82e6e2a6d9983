#pragma once
// Demo data whose sparkle's glow picture is very large: bg6 alone with its
// effect file's glow at a size past what a driver or a decoder takes. The
// first shows on every driver scaled down to the largest texture; the
// others are refused by their decoders at the header, which the log names.

#include <cstdint>
#include <string>
#include <vector>

namespace Tools {

enum class EGlowPicture {
    Png32768x2048, // the glow itself, 32,768 x 2,048, within the decoders' pixel cap
    Png16384,      // 16,384 x 16,384 PNG, past the cap
    Jpeg16384,     // 16,384 x 16,384 JPEG, past the cap
    Jp2_8192,      // 8,192 x 8,192 RGB JPEG 2000, past the cap at four bytes a sample
};

inline constexpr EGlowPicture kGlowPictures[] = {EGlowPicture::Png32768x2048, EGlowPicture::Png16384,
                                                 EGlowPicture::Jpeg16384, EGlowPicture::Jp2_8192};

inline constexpr int kGlowPictureScene = 6;

const char* GlowPictureName(EGlowPicture picture);
// The case named so, or false.
bool FindGlowPicture(const std::string& name, EGlowPicture& picture);
// The picture file itself.
std::vector<uint8_t> WriteGlowPicture(EGlowPicture picture);
// The scenes' effect file with that glow picture.
std::vector<uint8_t> WriteGlowPictureEffects(EGlowPicture picture);

} // namespace Tools
