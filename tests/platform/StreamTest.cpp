#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ULARGE_INTEGER U(ULONGLONG value) {
  ULARGE_INTEGER u;
  u.QuadPart = value;
  return u;
}
LARGE_INTEGER L(LONGLONG value) {
  LARGE_INTEGER l;
  l.QuadPart = value;
  return l;
}

ULONGLONG Position(IStream *stream) {
  ULARGE_INTEGER now{};
  EXPECT_EQ(stream->Seek(L(0), STREAM_SEEK_CUR, &now), S_OK);
  return now.QuadPart;
}

std::string ReadAll(IStream *stream) {
  EXPECT_EQ(stream->Seek(L(0), STREAM_SEEK_SET, nullptr), S_OK);
  std::string text(64, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream->Read(text.data(), static_cast<ULONG>(text.size()), &read), S_OK);
  text.resize(read);
  return text;
}

TEST(GlobalMemory, MovableBlockLocksAndKeepsItsHandleWhenResized) {
  HGLOBAL block = GlobalAlloc(GHND, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 8u);
  auto *data = static_cast<char *>(GlobalLock(block));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::memcmp(data, "\0\0\0\0\0\0\0\0", 8), 0); // zero-initialised
  std::memcpy(data, "abcdefgh", 8);
  EXPECT_EQ(GlobalLock(block), data);
  EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 2u);
  EXPECT_EQ(GlobalHandle(data), block);
  EXPECT_TRUE(GlobalUnlock(block));  // still locked once
  EXPECT_FALSE(GlobalUnlock(block)); // now unlocked
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

  EXPECT_EQ(GlobalReAlloc(block, 4096, GMEM_ZEROINIT), block);
  EXPECT_EQ(GlobalSize(block), 4096u);
  data = static_cast<char *>(GlobalLock(block));
  EXPECT_EQ(std::string(data, 8), "abcdefgh");
  EXPECT_EQ(data[4095], 0);
  EXPECT_EQ(GlobalFree(block), nullptr); // a locked block is freed all the same
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalFlags(block), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

TEST(GlobalMemory, FixedBlockIsItsAddressAndZeroSizedMovableIsDiscarded) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 16);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_EQ(static_cast<char *>(fixed)[15], 0);
  EXPECT_EQ(GlobalReAlloc(fixed, 8, 0), fixed); // shrinks in place
  EXPECT_EQ(GlobalSize(fixed), 8u);
  EXPECT_EQ(GlobalFree(fixed), nullptr);

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalLock(empty), nullptr);
  EXPECT_NE(GlobalFlags(empty) & GMEM_DISCARDED, 0u);
  EXPECT_EQ(GlobalFree(empty), nullptr);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(HGlobalStream, WriteSeekReadAndSize) {
  IStream *stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ULONG written = 0;
  ASSERT_EQ(stream->Write("hello world", 11, &written), S_OK);
  EXPECT_EQ(written, 11u);
  EXPECT_EQ(Position(stream), 11u);

  ULARGE_INTEGER at{};
  ASSERT_EQ(stream->Seek(L(-5), STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 6u);
  char buffer[16] = {};
  ULONG read = 0;
  ASSERT_EQ(stream->Read(buffer, sizeof buffer, &read), S_OK);
  EXPECT_EQ(read, 5u); // a short read at the end is no error
  EXPECT_EQ(std::string(buffer, read), "world");
  EXPECT_EQ(stream->Seek(L(-1), STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(Position(stream), 11u);

  // Writing beyond the end fills the gap with zeros.
  ASSERT_EQ(stream->Seek(L(13), STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(stream->Write("!", 1, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream), std::string("hello world\0\0!", 14));

  ASSERT_EQ(stream->SetSize(U(5)), S_OK);
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(stat.cbSize.QuadPart, 5u);
  EXPECT_EQ(stat.pwcsName, nullptr);
  EXPECT_EQ(ReadAll(stream), "hello");
  ASSERT_EQ(stream->SetSize(U(7)), S_OK);
  EXPECT_EQ(ReadAll(stream), std::string("hello\0\0", 7));
  EXPECT_EQ(stream->LockRegion(U(0), U(1), LOCK_WRITE), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(HGlobalStream, SharesTheBlockWithItsHandleAndClones) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(block), "abc", 3);
  GlobalUnlock(block);

  IStream *stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), S_OK);
  HGLOBAL got = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &got), S_OK);
  EXPECT_EQ(got, block);
  EXPECT_EQ(ReadAll(stream), "abc");

  IStream *clone = nullptr;
  ASSERT_EQ(stream->Seek(L(1), STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(stream->Clone(&clone), S_OK);
  EXPECT_EQ(Position(clone), 1u);
  ASSERT_EQ(clone->Seek(L(0), STREAM_SEEK_END, nullptr), S_OK);
  ASSERT_EQ(clone->Write("def", 3, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream), "abcdef"); // one block, one size
  EXPECT_EQ(Position(clone), 6u);

  IStream *copy = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &copy), S_OK);
  ASSERT_EQ(stream->Seek(L(2), STREAM_SEEK_SET, nullptr), S_OK);
  ULARGE_INTEGER read{}, written{};
  ASSERT_EQ(stream->CopyTo(copy, U(100), &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 4u);
  EXPECT_EQ(written.QuadPart, 4u);
  EXPECT_EQ(ReadAll(copy), "cdef");

  EXPECT_EQ(GetHGlobalFromStream(nullptr, &got), E_INVALIDARG);
  EXPECT_EQ(copy->Release(), 0u);
  EXPECT_EQ(clone->Release(), 0u);
  EXPECT_EQ(stream->Release(), 0u);
  // Not deleted on release: the block lives on with the written bytes.
  ASSERT_GE(GlobalSize(block), 6u);
  EXPECT_EQ(std::memcmp(GlobalLock(block), "abcdef", 6), 0);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(HGlobalStream, DeleteOnReleaseFreesTheBlockWithTheLastStream) {
  IStream *stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ASSERT_EQ(stream->Write("x", 1, nullptr), S_OK);
  HGLOBAL block = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
  IStream *clone = nullptr;
  ASSERT_EQ(stream->Clone(&clone), S_OK);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalSize(block), 1u); // the clone still uses it
  EXPECT_EQ(clone->Release(), 0u);
  EXPECT_EQ(GlobalFlags(block), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

} // namespace
