// The bitmap's view of engine streams.

#include "app/File.h"
#include "graphics/Bitmap.h"

namespace Engine::Graphics {

size_t CBitmap::CBitmapFile::Read(void* buffer, size_t count) { return m_stream->Read(buffer, count); }
int64_t CBitmap::CBitmapFile::GetSize() { return m_stream->GetSize(); }
int CBitmap::CBitmapFile::Seek(int64_t offset, int origin) { return m_stream->Seek(offset, origin); }
int64_t CBitmap::CBitmapFile::Tell() { return m_stream->Tell(); }

bool CBitmap::LoadFromFile(Engine::CAbstractFile& stream) {
    CBitmapFile input(stream);
    return LoadFromFile(input);
}

bool CBitmap::LoadAlphaFromFile(Engine::CAbstractFile& stream) {
    CBitmapFile input(stream);
    return LoadAlphaFromFile(input);
}

} // namespace Engine::Graphics
