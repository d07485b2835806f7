// The system's ANSI code page, for the few places where its rules matter: letter case of section
// and key names, and which bytes lead a double-byte character on the command line.
#pragma once

#include <string>

namespace dormivo::platform {

class AnsiText {
 public:
  virtual ~AnsiText() = default;
  // The text upper-cased by the rules of the code page (CharUpperBuffA).
  virtual std::string CharUpperBuffA(std::string text) const = 0;
  // Whether the byte leads a double-byte character (IsDBCSLeadByte).
  virtual bool IsDBCSLeadByte(unsigned char byte) const = 0;
};

// A single-byte code page whose letters are those of ASCII: what the core falls back to, and what
// the tests and fuzz targets use.
class AsciiText final : public AnsiText {
 public:
  std::string CharUpperBuffA(std::string text) const override;
  bool IsDBCSLeadByte(unsigned char) const override { return false; }
};

}  // namespace dormivo::platform
