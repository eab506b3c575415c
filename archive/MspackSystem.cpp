#include "archive/MspackSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace vyn::archive {

// Large enough that reading a cabinet and writing its files cost few system calls.
constexpr std::size_t kBufferSize = 1 << 20;

struct TMspackFile {
  TMspackSystem* System;
  int Handle;
  bool Writing;
  std::unique_ptr<char[]> Buffer{new (std::nothrow) char[kBufferSize]};
  off_t BufferStart = 0;  // file offset of Buffer[0] when reading
  std::size_t Begin = 0;  // next unread byte, or bytes waiting to be written
  std::size_t End = 0;    // bytes held when reading

  bool Flush() {
    for (std::size_t done = 0; done < Begin;) {
      const ssize_t n = write(Handle, Buffer.get() + done, Begin - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    Begin = 0;
    return true;
  }

  int Read(char* out, int bytes) {
    if (Writing || bytes < 0) return -1;
    int done = 0;
    while (done < bytes) {
      if (Begin == End) {
        BufferStart += static_cast<off_t>(End);
        Begin = End = 0;
        const ssize_t n = read(Handle, Buffer.get(), kBufferSize);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        End = static_cast<std::size_t>(n);
      }
      const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(bytes - done), End - Begin);
      std::memcpy(out + done, Buffer.get() + Begin, take);
      Begin += take;
      done += static_cast<int>(take);
    }
    return done;
  }

  int Write(const char* in, int bytes) {
    if (!Writing || bytes < 0 || System->FWriteFailed) return -1;
    const auto count = static_cast<std::uint64_t>(bytes);
    if (count > System->FLimit - System->FWritten) {
      System->FWriteFailed = true;  // more data than the archive says the file holds
      return -1;
    }
    for (int done = 0; done < bytes;) {
      if (Begin == kBufferSize && !Flush()) {
        System->FWriteFailed = true;
        return -1;
      }
      const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(bytes - done), kBufferSize - Begin);
      std::memcpy(Buffer.get() + Begin, in + done, take);
      Begin += take;
      done += static_cast<int>(take);
    }
    System->FWritten += count;
    return bytes;
  }

  off_t Tell() const { return Writing ? static_cast<off_t>(System->FWritten) : BufferStart + static_cast<off_t>(Begin); }

  int Seek(off_t offset, int mode) {
    if (Writing) return -1;
    off_t to = offset;
    if (mode == MSPACK_SYS_SEEK_CUR) {
      to += Tell();
    } else if (mode == MSPACK_SYS_SEEK_END) {
      struct stat st {};
      if (fstat(Handle, &st) != 0) return -1;
      to += st.st_size;
    } else if (mode != MSPACK_SYS_SEEK_START) {
      return -1;
    }
    if (to < 0) return -1;
    if (to >= BufferStart && to <= BufferStart + static_cast<off_t>(End)) {
      Begin = static_cast<std::size_t>(to - BufferStart);
      return 0;
    }
    if (lseek(Handle, to, SEEK_SET) < 0) return -1;
    BufferStart = to;
    Begin = End = 0;
    return 0;
  }
};

namespace {

TMspackFile* FileOf(mspack_file* file) { return reinterpret_cast<TMspackFile*>(file); }

mspack_file* Open(mspack_system* self, const char* name, int mode) {
  auto* system = static_cast<TMspackSystem*>(self);
  TMspackFile* file = nullptr;
  if (mode == MSPACK_SYS_OPEN_READ) {
    const int handle = open(name, O_RDONLY | O_CLOEXEC);
    if (handle < 0) return nullptr;
    file = new (std::nothrow) TMspackFile{system, handle, false};
    if (!file || !file->Buffer) {
      close(handle);
      delete file;
      return nullptr;
    }
  } else if (const int output = mode == MSPACK_SYS_OPEN_WRITE ? system->TakeOutput(name) : -1; output >= 0) {
    file = new (std::nothrow) TMspackFile{system, output, true};
    if (!file || !file->Buffer) {
      delete file;
      return nullptr;
    }
  }
  return reinterpret_cast<mspack_file*>(file);
}

void Close(mspack_file* handle) {
  TMspackFile* file = FileOf(handle);
  if (!file) return;
  if (file->Writing) {
    if (!file->Flush()) file->System->OutputFailed();  // the output itself stays open
  } else {
    close(file->Handle);
  }
  delete file;
}

int Read(mspack_file* file, void* buffer, int bytes) { return FileOf(file)->Read(static_cast<char*>(buffer), bytes); }
int Write(mspack_file* file, void* buffer, int bytes) { return FileOf(file)->Write(static_cast<const char*>(buffer), bytes); }
int Seek(mspack_file* file, off_t offset, int mode) { return FileOf(file)->Seek(offset, mode); }
off_t Tell(mspack_file* file) { return FileOf(file)->Tell(); }
void Message(mspack_file*, const char*, ...) {}  // the caller reports failures by result
void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void Free(void* block) { std::free(block); }
void Copy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

}  // namespace

TMspackSystem::TMspackSystem() : mspack_system{Open, Close, Read, Write, Seek, Tell, Message, Alloc, Free, Copy, nullptr} {}

int TMspackSystem::TakeOutput(const char* name) {
  if (FOutput < 0 || std::strcmp(name, kOutputName) != 0) return -1;
  const int output = FOutput;
  FOutput = -1;
  return output;
}

void TMspackSystem::SetOutput(int handle, std::uint64_t limit) {
  FOutput = handle;
  FLimit = limit;
  FWritten = 0;
  FWriteFailed = false;
}

}  // namespace vyn::archive
