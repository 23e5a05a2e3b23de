#include "app/archive/in_stream_wrapper.h"
#include "app/archive/out_stream_wrapper.h"

#include <gtest/gtest.h>

#include <objbase.h>

using SevenZip::intl::ComRef;
using SevenZip::intl::InStreamWrapper;
using SevenZip::intl::OutStreamWrapper;

namespace {

ComRef<IStream> MemoryStream()
{
    ComRef<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    return stream;
}

// The references the stream holds besides the caller's one.
ULONG OtherReferences(IStream* stream)
{
    stream->AddRef();
    return stream->Release() - 1;
}

} // namespace

TEST(CountedObject, AnswersOnlyForTheInterfacesItIs)
{
    ComRef<IStream> stream = MemoryStream();
    ASSERT_TRUE(stream);
    ComRef<IInStream> input = ComRef<IInStream>::Share(new InStreamWrapper(stream.get()));
    const struct {
        const IID* iid;
        bool answered;
    } cases[] = {
        {&IID_IUnknown, true},
        {&IID_ISequentialInStream, true},
        {&IID_IInStream, true},
        {&IID_IStreamGetSize, true},
        {&IID_IOutStream, false},
        {&IID_IStream, false},
    };
    for (const auto& row : cases) {
        void* object = reinterpret_cast<void*>(1);
        HRESULT result = input->QueryInterface(*row.iid, &object);
        EXPECT_EQ(row.answered ? S_OK : E_NOINTERFACE, result);
        EXPECT_EQ(row.answered, object != nullptr);
        if (object)
            static_cast<IUnknown*>(object)->Release();
    }
    EXPECT_EQ(E_POINTER, input->QueryInterface(IID_IUnknown, nullptr));
}

TEST(CountedObject, LastReleaseDeletesTheWrapperAndLetsTheStreamGo)
{
    ComRef<IStream> stream = MemoryStream();
    ASSERT_TRUE(stream);
    EXPECT_EQ(0u, OtherReferences(stream.get()));
    IOutStream* output = new OutStreamWrapper(stream.get());
    EXPECT_EQ(1u, OtherReferences(stream.get()));
    EXPECT_EQ(1u, output->AddRef());
    EXPECT_EQ(2u, output->AddRef());
    EXPECT_EQ(1u, output->Release());
    EXPECT_EQ(1u, OtherReferences(stream.get()));
    EXPECT_EQ(0u, output->Release());
    EXPECT_EQ(0u, OtherReferences(stream.get()));
}
