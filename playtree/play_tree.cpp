// The play tree, its nodes and its sidecar file.
#include "play_tree.h"

#include <algorithm>
#include <system_error>

#include "engine/codec.h"
#include "engine/file_io.h"

namespace marvo::tree {

namespace {

constexpr std::string_view kHeader = "# marvo play tree 1";

// The first character of UTF-8 text ("?" for a broken sequence), so that a message quoting it
// stays valid UTF-8.
std::string_view firstCharacter(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  for (std::size_t i = 1; i < length; ++i)
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return "?";
  return length == 1 && lead >= 0x80 ? "?" : text.substr(0, length);
}

}  // namespace

PlayTree::PlayTree() { nodes_.emplace_back(); }

std::size_t PlayTree::child(std::size_t parent, const std::string& command) {
  for (std::size_t c : nodes_.at(parent).children)
    if (nodes_[c].command == command) return c;
  Node node;
  node.command = command;
  node.parent = parent;
  nodes_.push_back(std::move(node));
  const std::size_t id = nodes_.size() - 1;
  nodes_[parent].children.push_back(id);
  return id;
}

std::size_t PlayTree::addPlay(const std::vector<std::string>& commands) {
  std::size_t at = 0;
  for (const auto& command : commands) at = child(at, command);
  return at;
}

std::vector<std::string> PlayTree::path(std::size_t id) const {
  std::vector<std::string> out;
  for (; id != 0; id = nodes_.at(id).parent) out.push_back(nodes_[id].command);
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<std::size_t> PlayTree::order() const {
  std::vector<std::size_t> out, stack{0};
  while (!stack.empty()) {
    const std::size_t id = stack.back();
    stack.pop_back();
    out.push_back(id);
    const auto& children = nodes_[id].children;
    for (auto c = children.rbegin(); c != children.rend(); ++c) stack.push_back(*c);
  }
  return out;
}

std::vector<std::size_t> PlayTree::leaves() const {
  std::vector<std::size_t> out;
  for (std::size_t id : order())
    if (nodes_[id].children.empty()) out.push_back(id);
  return out;
}

void PlayTree::remove(std::size_t id) {
  if (id == 0 || id >= nodes_.size() || nodes_[id].removed) return;
  auto& siblings = nodes_[nodes_[id].parent].children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
  std::vector<std::size_t> stack{id};
  while (!stack.empty()) {
    Node& node = nodes_[stack.back()];
    stack.pop_back();
    node.removed = true;
    for (std::size_t c : node.children) stack.push_back(c);
    node.children.clear();
  }
}

void PlayTree::bless(std::size_t id) {
  Node& node = nodes_.at(id);
  node.blessed = node.reply;
  node.changed = false;
}

std::filesystem::path treeFileFor(const std::filesystem::path& scenario) {
  std::filesystem::path out = scenario;
  return out.replace_extension(".tree");
}

std::string treeText(const PlayTree& tree) {
  std::string out(kHeader);
  out += '\n';
  std::vector<std::size_t> depth(tree.nodes().size(), 0);
  for (std::size_t id : tree.order()) {
    const Node& node = tree.node(id);
    if (id != 0) depth[id] = depth[node.parent] + 1;
    // The game start's lines stand at depth 0; a command's at one level below its "> " line.
    const std::string indent(2 * (id == 0 ? 0 : depth[id] - 1), ' ');
    const std::string inner = id == 0 ? indent : indent + "  ";
    if (id != 0) out += indent + "> " + cp1251ToUtf8(node.command) + '\n';
    if (!node.name.empty()) out += inner + "@ " + cp1251ToUtf8(node.name) + '\n';
    // A reply of no lines is written as its bare mark, so that it is not read as missing.
    if (node.blessed) {
      for (const auto& line : *node.blessed) out += inner + "= " + cp1251ToUtf8(line) + '\n';
      if (node.blessed->empty()) out += inner + "=\n";
    }
    if (node.blessed && *node.blessed != node.reply && node.reply.empty()) out += inner + "~\n";
    if (!node.blessed || *node.blessed != node.reply)
      for (const auto& line : node.reply) out += inner + "~ " + cp1251ToUtf8(line) + '\n';
    if (node.unfit) out += inner + "!\n";
    if (node.changed) out += inner + "?\n";
  }
  return out;
}

TreeParse parseTree(std::string_view text) {
  TreeParse result;
  auto fail = [&](int line, std::string why) {
    result.errorLine = line;
    result.error = std::move(why);
    return result;
  };
  PlayTree tree;
  std::vector<std::size_t> atDepth{0};  // the node last opened at each depth (0: the game start)
  std::vector<bool> replySeen(1, false);
  int number = 0;
  bool headerSeen = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    // Line ends of CR LF, also doubled by a conversion: no text of the tree ends in CR, so a text
    // read here is written back as read.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!headerSeen) {
      if (line != kHeader)
        return fail(number, "это не файл дерева прохождений (нет заголовка «" + std::string(kHeader) + "»)");
      headerSeen = true;
      continue;
    }
    if (line.empty()) continue;
    const std::size_t spaces = line.find_first_not_of(' ');
    if (spaces == std::string_view::npos || spaces % 2 != 0) return fail(number, "неверный отступ");
    const char mark = line[spaces];
    if (std::string_view(">@=~!?").find(mark) == std::string_view::npos)
      return fail(number, "неизвестный знак строки «" + std::string(firstCharacter(line.substr(spaces))) + "»");
    std::string_view rest = line.substr(spaces + 1);
    const bool bare = rest.empty();  // "=" or "~" alone: a reply of no lines
    if (!rest.empty() && rest[0] == ' ')
      rest.remove_prefix(1);
    else if (!rest.empty())
      return fail(number, "после знака строки нужен пробел");
    const std::size_t level = spaces / 2;
    const std::string value = utf8ToCp1251(rest);
    if (mark == '>') {
      if (level + 1 > atDepth.size()) return fail(number, "команда без команды перед ней");
      atDepth.resize(level + 1);
      const std::size_t parent = atDepth[level];
      const std::size_t before = tree.nodes().size();
      const std::size_t id = tree.child(parent, value);
      if (id < before) return fail(number, "команда повторена на том же месте дерева");
      atDepth.push_back(id);
      replySeen.resize(tree.nodes().size(), false);
      continue;
    }
    // A line of the node opened one level up (the game start's at level 0).
    if (level + 1 != atDepth.size()) return fail(number, "строка не на уровне своей команды");
    Node& node = tree.node(atDepth.back());
    switch (mark) {
      case '@':
        node.name = value;
        break;
      case '=':
        if (!node.blessed) node.blessed.emplace();
        if (!bare) node.blessed->push_back(value);
        break;
      case '~':
        if (!bare) node.reply.push_back(value);
        replySeen[atDepth.back()] = true;
        break;
      case '!':
        node.unfit = true;
        break;
      case '?':
        node.changed = true;
        break;
    }
  }
  if (!headerSeen) return fail(1, "файл пуст");
  // A reply written only as blessed is the blessed one.
  for (std::size_t id = 0; id < tree.nodes().size(); ++id)
    if (!replySeen[id] && tree.node(id).blessed) tree.node(id).reply = *tree.node(id).blessed;
  result.tree = std::move(tree);
  return result;
}

TreeLoad loadTree(const std::filesystem::path& file) {
  TreeLoad load;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return load;
  FileRead read = readWholeFile(file);
  std::string why;
  if (!read.error.empty()) {
    why = read.error;
  } else {
    auto parsed = parseTree(read.bytes);
    if (parsed.tree) {
      load.tree = std::move(*parsed.tree);
      return load;
    }
    why = "строка " + std::to_string(parsed.errorLine) + ": " + parsed.error;
  }
  std::filesystem::path backup = file;
  backup += ".bak";
  std::filesystem::rename(file, backup, ec);
  load.message = "Файл дерева прохождений " + file.string() + " не прочитан (" + why + "). " +
                 (ec ? "Сохранить его копию не удалось (" + ec.message() + "); файл оставлен как есть"
                     : "Он сохранён как " + backup.string()) +
                 ", начато новое дерево.";
  return load;
}

std::optional<std::string> saveTree(const std::filesystem::path& file, const PlayTree& tree) {
  return replaceFile(file, treeText(tree));
}

}  // namespace marvo::tree
