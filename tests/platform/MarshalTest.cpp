#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "OleAutTestSupport.h"

namespace {

LARGE_INTEGER Zero() {
  LARGE_INTEGER l;
  l.QuadPart = 0;
  return l;
}

IStream *NewStream() {
  IStream *stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  return stream;
}

std::vector<BYTE> Bytes(IStream *stream) {
  HGLOBAL block = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
  STATSTG stat{};
  EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  auto *data = static_cast<BYTE *>(GlobalLock(block));
  std::vector<BYTE> bytes(data, data + stat.cbSize.QuadPart);
  GlobalUnlock(block);
  return bytes;
}

// A stream over a copy of marshalled bytes, as a receiving window builds it.
IStream *StreamOver(const std::vector<BYTE> &bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  IStream *stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
  return stream;
}

TEST(Marshal, NormalRoundTripGivesTheSameObjectOnce) {
  for (DWORD context : {DWORD(MSHCTX_LOCAL), DWORD(MSHCTX_INPROC)}) {
    CountedObject object;
    IStream *stream = NewStream();
    ASSERT_EQ(
        CoMarshalInterface(stream, IID_IDispatch, &object, context, nullptr, MSHLFLAGS_NORMAL),
        S_OK);
    EXPECT_EQ(object.refs, 2); // the record holds one

    IStream *received = StreamOver(Bytes(stream));
    IUnknown *unknown = nullptr;
    ASSERT_EQ(CoUnmarshalInterface(received, IID_IUnknown, reinterpret_cast<void **>(&unknown)),
              S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown *>(&object));
    EXPECT_EQ(object.refs, 2); // the record's reference went to the caller
    unknown->Release();
    EXPECT_EQ(object.refs, 1);

    // A normal record is consumed by its first use.
    ASSERT_EQ(received->Seek(Zero(), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(CoUnmarshalInterface(received, IID_IUnknown, reinterpret_cast<void **>(&unknown)),
              CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(object.refs, 1);
    received->Release();
    stream->Release();
  }
}

TEST(Marshal, ReleaseMarshalDataDropsTheRecordsReference) {
  CountedObject object;
  IStream *stream = NewStream();
  ASSERT_EQ(
      CoMarshalInterface(stream, IID_IUnknown, &object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL),
      S_OK);
  EXPECT_EQ(object.refs, 2);
  ASSERT_EQ(stream->Seek(Zero(), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(CoReleaseMarshalData(stream), S_OK);
  EXPECT_EQ(object.refs, 1);
  ASSERT_EQ(stream->Seek(Zero(), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(CoReleaseMarshalData(stream), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(object.refs, 1);
  stream->Release();
}

TEST(Marshal, TableRecordServesManyUntilReleased) {
  CountedObject object;
  IStream *stream = NewStream();
  ASSERT_EQ(CoMarshalInterface(stream, IID_IDispatch, &object, MSHCTX_INPROC, nullptr,
                               MSHLFLAGS_TABLESTRONG),
            S_OK);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(stream->Seek(Zero(), STREAM_SEEK_SET, nullptr), S_OK);
    IDispatch *dispatch = nullptr;
    ASSERT_EQ(CoUnmarshalInterface(stream, IID_IDispatch, reinterpret_cast<void **>(&dispatch)),
              S_OK);
    EXPECT_EQ(dispatch, static_cast<IDispatch *>(&object));
    EXPECT_EQ(object.refs, 3);
    dispatch->Release();
  }
  ASSERT_EQ(stream->Seek(Zero(), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(CoReleaseMarshalData(stream), S_OK);
  EXPECT_EQ(object.refs, 1);
  stream->Release();
}

TEST(Marshal, BadRecordsAreRefusedWithoutTouchingTheObject) {
  CountedObject object(false); // no IDispatch
  IStream *stream = NewStream();
  EXPECT_EQ(
      CoMarshalInterface(stream, IID_IDispatch, &object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL),
      E_NOINTERFACE);
  EXPECT_EQ(CoMarshalInterface(nullptr, IID_IUnknown, &object, MSHCTX_LOCAL, nullptr, 0),
            E_INVALIDARG);
  ASSERT_EQ(
      CoMarshalInterface(stream, IID_IUnknown, &object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL),
      S_OK);
  std::vector<BYTE> record = Bytes(stream);
  ASSERT_EQ(record.size(), 48u);

  // Another process's record: its pointer means nothing here.
  std::vector<BYTE> foreign = record;
  DWORD otherProcess = GetCurrentProcessId() + 1;
  std::memcpy(&foreign[8], &otherProcess, sizeof otherProcess);
  // A forged ticket.
  std::vector<BYTE> forged = record;
  forged[32] ^= 0x5A;
  // Not a record at all, and a truncated one.
  std::vector<BYTE> garbage(48, 0xAB);
  std::vector<BYTE> truncated(record.begin(), record.begin() + 20);

  struct Case {
    std::vector<BYTE> bytes;
    HRESULT expected;
  } cases[] = {{foreign, CO_E_OBJNOTCONNECTED},
               {forged, CO_E_OBJNOTCONNECTED},
               {garbage, RPC_E_INVALID_OBJREF},
               {truncated, RPC_E_INVALID_OBJREF}};
  for (const Case &c : cases) {
    IStream *bad = StreamOver(c.bytes);
    IUnknown *unknown = reinterpret_cast<IUnknown *>(1);
    EXPECT_EQ(CoUnmarshalInterface(bad, IID_IUnknown, reinterpret_cast<void **>(&unknown)),
              c.expected);
    EXPECT_EQ(unknown, nullptr);
    bad->Release();
  }
  EXPECT_EQ(object.refs, 2); // only the genuine record holds a reference

  // The genuine record still works, for the IID it was marshalled with (IID_NULL).
  IStream *good = StreamOver(record);
  IUnknown *unknown = nullptr;
  ASSERT_EQ(CoUnmarshalInterface(good, IID_NULL, reinterpret_cast<void **>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown *>(&object));
  unknown->Release();
  EXPECT_EQ(object.refs, 1);
  good->Release();
  stream->Release();
}

} // namespace
