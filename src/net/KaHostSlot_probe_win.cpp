// A program that carries the host and key slots and reports what it reads
// from them: the tests stamp a copy of it and run that. Writes the host, a
// line end and the key text to the file named by its argument (through a
// temporary name, so a reader never sees half of it).
#include "base/KaHandle.h"
#include "net/KaHostSlot.h"
#include "net/KaKeySlot.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2)
    return 2;
  const std::string target = argv[1];
  const std::string temporary = target + ".tmp";
  TScopedStdFile f(std::fopen(temporary.c_str(), "wb"));
  if (!f)
    return 1;
  const std::string seen = ServerHost() + "\n" + VendorKeyText();
  bool written = std::fwrite(seen.data(), 1, seen.size(), f.Get()) == seen.size();
  written = std::fflush(f.Get()) == 0 && written;
  f.Reset();
  return written && std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1;
}
