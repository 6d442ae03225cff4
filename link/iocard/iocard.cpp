// The ISA card driver library `iocard`: hex300 and hex310 put one character code on the card at base
// address 300h or 310h. Where no card can be reached, the bytes can be captured instead: when the
// environment variable VIREO_IOCARD_CAPTURE names a file, every byte is appended to it (the capture
// wins, so that a test run with I/O permission never touches the ports); otherwise, on x86 Linux with
// I/O permission, the byte goes to the port. The result is 0 when the byte went somewhere, else -1.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

namespace {

int put_byte(unsigned short port, std::int32_t code) {
  const unsigned char byte = static_cast<unsigned char>(code);
  if (const char* capture = std::getenv("VIREO_IOCARD_CAPTURE"); capture && *capture) {
    std::FILE* file = std::fopen(capture, "ab");
    if (!file) return -1;
    const bool written = std::fputc(byte, file) != EOF;
    return std::fclose(file) == 0 && written ? 0 : -1;
  }
#if defined(__x86_64__) || defined(__i386__)
  if (ioperm(port, 1, 1) == 0) {
    outb(byte, port);
    return 0;
  }
#else
  (void)port;
#endif
  return -1;
}

}  // namespace

extern "C" {
__attribute__((visibility("default"))) int hex300(std::int32_t code) { return put_byte(0x300, code); }
__attribute__((visibility("default"))) int hex310(std::int32_t code) { return put_byte(0x310, code); }
}
