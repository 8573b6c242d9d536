#include "file_image.h"

#include "streams.h"

namespace quorvil {

std::unique_ptr<TFileImage> TFileImage::Read(TStream& stream)
{
    std::unique_ptr<TFileImage> image(new TFileImage());
    const uint64_t pos = stream.Position();
    const uint64_t size = stream.Size();
    const size_t count = size > pos ? size_t(size - pos) : 0;
    // Left uninitialised: the read fills it, so each page is touched once.
    image->buffer_ = TPageBuffer(count);
    image->size_ = stream.Read(image->buffer_.Data(), count);
    image->data_ = image->buffer_.Data();
    return image;
}

std::unique_ptr<TFileImage> TFileImage::Adopt(TPageBuffer buffer)
{
    std::unique_ptr<TFileImage> image(new TFileImage());
    image->buffer_ = std::move(buffer);
    image->size_ = image->buffer_.Size();
    image->data_ = image->buffer_.Data();
    return image;
}

std::unique_ptr<TFileImage> TFileImage::Map(TStream& stream)
{
    auto* file = dynamic_cast<TFileStream*>(&stream);
    if (!file)
        return Read(stream);
    file->Flush();
    const uint64_t pos = file->Position();
    std::unique_ptr<sys::TFileMapping> mapping = sys::TFileMapping::Map(file->Descriptor(), pos);
    if (!mapping)
        return Read(stream);
    std::unique_ptr<TFileImage> image(new TFileImage());
    image->data_ = mapping->Data() + pos;
    image->size_ = size_t(mapping->Size() - pos);
    file->Seek(mapping->Size());
    image->mapping_ = std::move(mapping);
    return image;
}

bool TFileImage::Cut() const
{
    return mapping_ && mapping_->Cut();
}

TFileImage::~TFileImage() = default;

}  // namespace quorvil
