#include "test_support.h"

#include <fstream>
#include <sstream>

#include "dialogue/dialogue.h"

namespace molagirlik::test {

std::string cp857(std::string_view utf8) {
  static const std::pair<std::string_view, char> kLetters[] = {
      {"ö", '\x94'}, {"ü", '\x81'}, {"ı", '\x8D'}, {"İ", '\x98'},
      {"Ü", '\x9A'}, {"ğ", '\xA7'}, {"Ğ", '\xA6'}, {"ç", '\x87'},
      {"Ç", '\x80'}, {"ş", '\x9F'}, {"Ş", '\x9E'}};
  std::string out;
  while (!utf8.empty()) {
    bool letter = false;
    for (const auto& [text, byte] : kLetters) {
      if (utf8.starts_with(text)) {
        out += byte;
        utf8.remove_prefix(text.size());
        letter = true;
        break;
      }
    }
    if (!letter) {
      out += utf8[0];
      utf8.remove_prefix(1);
    }
  }
  return out;
}

std::string run(std::string_view input, std::size_t chunk,
                LetterEncoding letters) {
  StringSource source(input, chunk);
  StringSink sink;
  {
    Console console(source, sink, letters);
    run_dialogue(console);
  }
  return sink.text;
}

::testing::AssertionResult contains_in_order(
    std::string_view text, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (const std::string& piece : pieces) {
    const std::size_t found = text.find(piece, at);
    if (found == std::string_view::npos) {
      return ::testing::AssertionFailure()
             << "missing, in order: \"" << piece << "\"";
    }
    at = found + piece.size();
  }
  return ::testing::AssertionSuccess();
}

Sink::Status CountingSink::write(const char* data, std::size_t size) {
  ++writes;
  text.append(data, size);
  return Status::ok;
}

std::size_t RecordingSource::read(char* buffer, std::size_t size) {
  seen.push_back(sink_.text);
  if (next_ == lines_.size()) return 0;
  const std::string& line = lines_[next_++];
  const std::size_t count = std::min(size, line.size());
  line.copy(buffer, count);
  return count;
}

std::size_t count_of(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (auto at = text.find(piece); at != std::string::npos;
       at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

namespace {

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

std::string golden(const std::string& name) {
  return contents(std::string(MOLAGIRLIK_GOLDEN_DIR) + "/" + name);
}

std::vector<std::pair<std::string, std::string>> sessions() {
  std::vector<std::pair<std::string, std::string>> found;
  std::string_view paths = MOLAGIRLIK_SESSIONS;  // separated by commas
  while (!paths.empty()) {
    const std::string path(paths.substr(0, paths.find(',')));
    paths.remove_prefix(std::min(paths.size(), path.size() + 1));
    found.emplace_back(path, contents(path));
    EXPECT_FALSE(found.back().second.empty()) << path;
  }
  return found;
}

}  // namespace molagirlik::test
