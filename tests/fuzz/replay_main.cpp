// Runs one fuzz target over files and folders of inputs, outside libFuzzer: the replay tests of
// every build go through the seed corpus and the kept crashing inputs this way.
// Usage: fuzz_replay TARGET PATH...
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: fuzz_replay codec|parser|proof|tptp PATH...\n";
    return 2;
  }
  const std::string target = argv[1];
  auto run = target == "codec"    ? velmoran::fuzz::Codec
             : target == "parser" ? velmoran::fuzz::Parser
             : target == "proof"  ? velmoran::fuzz::Proof
             : target == "tptp"   ? velmoran::fuzz::Tptp
                                  : nullptr;
  if (!run) {
    std::cerr << "fuzz_replay: unknown target '" << target << "'\n";
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (int i = 2; i < argc; ++i) {
    std::filesystem::path path = argv[i];
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.push_back(path);
    }
  }
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::cout << target << ": " << files.size() << " inputs ran\n";
  return files.empty() ? 1 : 0;
}
