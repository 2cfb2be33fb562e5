#include "win/png_codec.h"

#include <objbase.h>
#include <wincodec.h>

#include <new>
#include <string.h>

#include "win/png_chunks.h"

namespace {

// Releases a COM interface on every way out.
template <class T>
class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (p_)
            p_->Release();
    }
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

// COM for the length of one call. A thread already in another apartment (an
// OLE window thread is single-threaded, a worker may be multithreaded) keeps
// it: the factory works in either, and only a successful start is undone.
class ComScope
{
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

bool CreateFactory(ComPtr<IWICImagingFactory>& factory)
{
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.Out())));
}

PngOutcome OutcomeOf(HRESULT result)
{
    return result == E_OUTOFMEMORY ? PngOutcome::NoMemory : PngOutcome::Refused;
}

PngOutcome DecodeChecked(IWICImagingFactory* factory, const BYTE* bytes, size_t count, int maxSide, BgraPicture& out)
{
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    HRESULT result = factory->CreateStream(stream.Out());
    if (SUCCEEDED(result))
        result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes), DWORD(count));
    if (SUCCEEDED(result))
        result = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.Out());
    if (SUCCEEDED(result))
        result = decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, frame.Out());
    UINT width = 0, height = 0;
    if (SUCCEEDED(result))
        result = frame->GetSize(&width, &height);
    if (FAILED(result))
        return OutcomeOf(result);
    if (width == 0 || height == 0 || width > UINT(maxSide) || height > UINT(maxSide))
        return PngOutcome::Refused;
    result = factory->CreateFormatConverter(converter.Out());
    if (SUCCEEDED(result))
        result = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    if (FAILED(result))
        return OutcomeOf(result);
    BgraPicture picture;
    try {
        picture.pixels.resize(size_t(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return PngOutcome::NoMemory;
    }
    result = converter->CopyPixels(nullptr, width * 4, UINT(picture.pixels.size()), picture.pixels.data());
    if (FAILED(result))
        return OutcomeOf(result);
    picture.width = int(width);
    picture.height = int(height);
    out = std::move(picture);
    return PngOutcome::Done;
}

PngOutcome EncodeTo(IWICImagingFactory* factory, const BgraPicture& picture, IStream* stream)
{
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    HRESULT result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out());
    if (SUCCEEDED(result))
        result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(result))
        result = encoder->CreateNewFrame(frame.Out(), options.Out());
    if (SUCCEEDED(result))
        result = frame->Initialize(options.Get());
    if (SUCCEEDED(result))
        result = frame->SetSize(UINT(picture.width), UINT(picture.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (SUCCEEDED(result))
        result = frame->SetPixelFormat(&format);
    // An encoder that would write another format would lose the alpha.
    if (SUCCEEDED(result) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        return PngOutcome::Refused;
    if (SUCCEEDED(result))
        result = frame->WritePixels(UINT(picture.height), UINT(picture.width) * 4, UINT(picture.pixels.size()),
                                    const_cast<BYTE*>(picture.pixels.data()));
    if (SUCCEEDED(result))
        result = frame->Commit();
    if (SUCCEEDED(result))
        result = encoder->Commit();
    return SUCCEEDED(result) ? PngOutcome::Done : OutcomeOf(result);
}

PngOutcome CopyStream(IStream* stream, std::vector<BYTE>& out)
{
    HGLOBAL memory = nullptr;
    STATSTG stat = {};
    if (FAILED(GetHGlobalFromStream(stream, &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))
        || stat.cbSize.QuadPart > 0x7FFFFFFF)
        return PngOutcome::Refused;
    const size_t count = size_t(stat.cbSize.QuadPart);
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    if (!bytes)
        return PngOutcome::NoMemory;
    PngOutcome outcome = PngOutcome::Done;
    try {
        out.assign(bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        outcome = PngOutcome::NoMemory;
    }
    GlobalUnlock(memory);
    return outcome;
}

} // namespace

PngOutcome DecodePng(const BYTE* bytes, size_t count, int maxSide, BgraPicture& out)
{
    PngSize size;
    // Checked here first: the component lets a bad CRC pass in some chunks.
    if (!IsWholePng(bytes, count, size) || count > 0x7FFFFFFF || size.width == 0 || size.height == 0
        || size.width > DWORD(maxSide) || size.height > DWORD(maxSide))
        return PngOutcome::Refused;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (!com.Usable() || !CreateFactory(factory))
        return PngOutcome::NoCodec;
    return DecodeChecked(factory.Get(), bytes, count, maxSide, out);
}

PngOutcome EncodePng(const BgraPicture& picture, std::vector<BYTE>& out)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.width > 0x4000 || picture.height > 0x4000
        || picture.pixels.size() != size_t(picture.width) * picture.height * 4)
        return PngOutcome::Refused;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (!com.Usable() || !CreateFactory(factory))
        return PngOutcome::NoCodec;
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out())))
        return PngOutcome::NoMemory;
    const PngOutcome outcome = EncodeTo(factory.Get(), picture, stream.Get());
    return outcome == PngOutcome::Done ? CopyStream(stream.Get(), out) : outcome;
}
