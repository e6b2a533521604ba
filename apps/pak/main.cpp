// kaleth-pak: look inside a package, take it apart, put it together again, and turn PNG
// pictures into members the production can read.
#include <cstdio>
#include <string>
#include <vector>

#include "kaleth_build.h"
#include "apps/pak/pak_commands.h"
#include "apps/pak/picture_import.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to,
               "usage: kaleth-pak list FILE            index, name, offset and size of every member\n"
               "       kaleth-pak extract FILE DIR     every member to a file of DIR, with a manifest\n"
               "       kaleth-pak pack DIR FILE        a package of the members DIR's manifest lists\n"
               "       kaleth-pak import KIND IMAGE.png OUT [WIDTHxHEIGHT]\n"
               "                                       a PNG as member data; KIND is one of\n"
               "                                       %s\n"
               "       kaleth-pak --version            the version of the program\n",
               kImportKinds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  if (command == "list" && args.size() == 2) return ListPak(args[1]);
  if (command == "extract" && args.size() == 3) return ExtractPak(args[1], args[2]);
  if (command == "pack" && args.size() == 3) return PackPak(args[1], args[2]);
  if (command == "import" && (args.size() == 4 || args.size() == 5)) {
    return ImportPicture(args[1], args[2], args[3], args.size() == 5 ? args[4] : "");
  }
  if (command == "--version" && args.size() == 1) {
    std::printf("kaleth-pak %s\n", KALETH_VERSION);
    return 0;
  }
  if (command == "help" || command == "--help" || command == "-h") {
    PrintUsage(stdout);
    return 0;
  }
  if (!command.empty()) std::fprintf(stderr, "kaleth-pak: wrong command line\n");
  PrintUsage(stderr);
  return 2;
}
