// The scenario document's decisions without Qt.
#include "document_state.h"

#include <fstream>
#include <string>
#include <utility>

#include "game/rtf_reader.h"

namespace marvo {

std::optional<ScenarioFormat> scenarioFormatOf(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string head(4096, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  return isRtf(head) ? ScenarioFormat::Rtf : ScenarioFormat::PlainText;
}

void DocumentState::loaded(std::filesystem::path path, ScenarioFormat format) {
  path_ = std::move(path);
  format_ = format;
}

void DocumentState::restored(std::filesystem::path path) {
  format_ = path.empty() ? ScenarioFormat::Rtf : scenarioFormatOf(path).value_or(ScenarioFormat::Rtf);
  path_ = std::move(path);
  modified_ = true;
}

void DocumentState::saved(std::filesystem::path path, ScenarioFormat format) {
  path_ = std::move(path);
  format_ = format;
  modified_ = false;
}

std::optional<DocumentState::SaveTarget> DocumentState::saveTarget() const {
  if (path_.empty()) return std::nullopt;
  return SaveTarget{path_, format_};
}

}  // namespace marvo
