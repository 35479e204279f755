#include "bench/BenchPayload.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace tolvar::bench {
namespace {

// Programs and libraries of this machine (real machine code), sorted by name.
std::vector<PayloadFile> Programs(std::size_t budget) {
  std::vector<std::filesystem::path> paths;
  for (const char* folder : {"/usr/bin", "/usr/lib/x86_64-linux-gnu"}) {
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
      if (item.is_regular_file(error) && !item.is_symlink(error) && item.file_size(error) > 16384) {
        paths.push_back(item.path());
      }
    }
  }
  std::sort(paths.begin(), paths.end());
  std::vector<PayloadFile> files;
  std::size_t total = 0;
  for (const auto& path : paths) {
    if (total >= budget) break;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(std::min(bytes.size(), std::min<std::size_t>(budget - total, 4u << 20)));
    total += bytes.size();
    files.push_back({"prog" + std::to_string(files.size()) + ".exe", std::move(bytes)});
  }
  return files;
}

std::string Text(std::size_t size, std::mt19937& random) {
  static const char* kWords[] = {"instalace", "setup", "the", "průvodce", "soubor", "archive", "and", "Ledgero",
                                 "nastavení", "folder", "data", "of", "konfigurace", "version", "12", "2024"};
  std::string text;
  while (text.size() < size) {
    text += kWords[random() % std::size(kWords)];
    text += random() % 11 == 0 ? ".\r\n" : " ";
  }
  text.resize(size);
  return text;
}

std::string Noise(std::size_t size, std::mt19937& random) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace

std::vector<PayloadFile> MakePayload(std::size_t mib) {
  const std::size_t total = mib << 20;
  std::mt19937 random(2024);
  std::vector<PayloadFile> files = Programs(total * 3 / 8);
  // Many small text files, then larger ones.
  for (int i = 0; i < 600; ++i) {
    files.push_back({"note" + std::to_string(i) + ".txt", Text(1024 + random() % 15360, random)});
  }
  // The small ones hold about 600 * 8 KiB (a small payload gets none larger).
  const std::size_t largeText = total * 3 / 8 > 600 * 8192 ? total * 3 / 8 - 600 * 8192 : 0;
  for (std::size_t text = 0; text < largeText;) {
    const std::size_t size = (256u << 10) + random() % (2u << 20);
    files.push_back({"doc" + std::to_string(files.size()) + ".txt", Text(size, random)});
    text += size;
  }
  std::size_t used = 0;
  for (const auto& file : files) used += file.bytes.size();
  while (used < total) {
    const std::size_t size = std::min<std::size_t>(total - used, (1u << 20) + random() % (3u << 20));
    files.push_back({"blob" + std::to_string(files.size()) + ".bin", Noise(size, random)});
    used += size;
  }
  return files;
}

}  // namespace tolvar::bench
