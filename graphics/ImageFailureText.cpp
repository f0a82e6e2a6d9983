#include "graphics/ImageFailureText.h"

#include "app/Exception.h"

namespace Engine::Graphics {

CString DescribeUndecodedImage(CBitmapIO::ByteSpan data, const char* reason) {
    const CBitmapIO::EImageFormat format = CBitmapIO::DetectFormat(data);
    if (format == CBitmapIO::EImageFormat::UNKNOWN)
        return FormatString("its %zu bytes are in no known image format", data.size());
    const CString check =
        FormatString("its %zu bytes of %s data do not decode", data.size(), CBitmapIO::GetFormatName(format));
    return *reason ? FormatString("%s: %s", check.c_str(), reason) : check;
}

} // namespace Engine::Graphics
