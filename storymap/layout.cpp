// The story map's layout: the compass grid, Graphviz for the grids and the other locations, the
// author's placement and the kept places, and no two boxes on top of each other.
#include "layout.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "graphviz.h"

namespace marvo::storymap {

namespace {

constexpr double kMargin = 10;  // the least room between two boxes

// A bucket of the plane, one grid cell wide and high.
long long bucketKey(long long bx, long long by) { return (bx << 32) ^ (by & 0xffffffffLL); }

// Boxes already placed, found by the buckets they stand in.
class Occupancy {
 public:
  bool taken(const Point& p) const {
    const long long bx = bucketOf(p.x, kCellWidth), by = bucketOf(p.y, kCellHeight);
    for (long long dx = -1; dx <= 1; ++dx)
      for (long long dy = -1; dy <= 1; ++dy) {
        const auto it = buckets_.find(bucketKey(bx + dx, by + dy));
        if (it == buckets_.end()) continue;
        for (const Point& q : it->second)
          if (overlaps(p, q)) return true;
      }
    return false;
  }
  void add(const Point& p) { buckets_[bucketKey(bucketOf(p.x, kCellWidth), bucketOf(p.y, kCellHeight))].push_back(p); }

  // `p` itself when free, else the nearest free place on rings of cells around it.
  Point freePlaceNear(const Point& p) const {
    if (!taken(p)) return p;
    for (int r = 1; r < 100000; ++r) {
      std::optional<Point> best;
      double bestDistance = 0;
      for (int i = -r; i <= r; ++i)
        for (int j = -r; j <= r; ++j) {
          if (std::max(std::abs(i), std::abs(j)) != r) continue;
          const Point q{p.x + i * kCellWidth, p.y + j * kCellHeight};
          const double distance = std::hypot(i * kCellWidth, j * kCellHeight);
          if ((!best || distance < bestDistance) && !taken(q)) {
            best = q;
            bestDistance = distance;
          }
        }
      if (best) return *best;
    }
    return p;
  }

 private:
  static long long bucketOf(double v, double size) { return static_cast<long long>(std::floor(v / size)); }
  std::unordered_map<long long, std::vector<Point>> buckets_;
};

struct Offset {
  int dx = 0;
  int dy = 0;
};

std::optional<Offset> offsetOf(Direction d) {
  switch (d) {
    case Direction::North:
      return Offset{0, -1};
    case Direction::South:
      return Offset{0, 1};
    case Direction::West:
      return Offset{-1, 0};
    case Direction::East:
      return Offset{1, 0};
    default:
      return std::nullopt;
  }
}

// Up and down have no place on a flat map: a room above is drawn to the north-east, one below to
// the south-west, where those cells are free (never a conflict).
std::optional<Offset> floorOffsetOf(Direction d) {
  switch (d) {
    case Direction::Up:
      return Offset{1, -1};
    case Direction::Down:
      return Offset{-1, 1};
    default:
      return std::nullopt;
  }
}

// The fresh layout of every node: grids as single boxes among the other locations in Graphviz's
// layered layout, locations with no edge at all in rows beneath.
std::vector<Point> autoLayout(const StoryGraph& graph, const Grid& grid) {
  const int n = static_cast<int>(graph.nodes.size());
  std::vector<Point> at(static_cast<std::size_t>(n));
  std::vector<bool> linked(static_cast<std::size_t>(n), false);
  for (const Edge& e : graph.edges)
    if (e.from != e.to) linked[static_cast<std::size_t>(e.from)] = linked[static_cast<std::size_t>(e.to)] = true;

  // Units: each grid, then each other linked location.
  std::vector<int> minColumn(static_cast<std::size_t>(grid.components), 0), minRow = minColumn, maxColumn = minColumn,
                                                                            maxRow = minColumn;
  std::vector<bool> seen(static_cast<std::size_t>(grid.components), false);
  std::vector<int> unitOf(static_cast<std::size_t>(n), -1);
  for (int k = 0; k < n; ++k) {
    const int c = grid.component[static_cast<std::size_t>(k)];
    if (c < 0) continue;
    const auto uc = static_cast<std::size_t>(c);
    const int col = grid.column[static_cast<std::size_t>(k)], row = grid.row[static_cast<std::size_t>(k)];
    if (!seen[uc]) {
      seen[uc] = true;
      minColumn[uc] = maxColumn[uc] = col;
      minRow[uc] = maxRow[uc] = row;
    }
    minColumn[uc] = std::min(minColumn[uc], col);
    maxColumn[uc] = std::max(maxColumn[uc], col);
    minRow[uc] = std::min(minRow[uc], row);
    maxRow[uc] = std::max(maxRow[uc], row);
    unitOf[static_cast<std::size_t>(k)] = c;
  }
  std::vector<gv::Box> boxes;
  for (int c = 0; c < grid.components; ++c) {
    const auto uc = static_cast<std::size_t>(c);
    boxes.push_back({(maxColumn[uc] - minColumn[uc]) * kCellWidth + kBoxWidth,
                     (maxRow[uc] - minRow[uc]) * kCellHeight + kBoxHeight});
  }
  std::vector<int> isolated;
  for (int k = 0; k < n; ++k) {
    if (unitOf[static_cast<std::size_t>(k)] >= 0) continue;
    if (!linked[static_cast<std::size_t>(k)]) {
      isolated.push_back(k);
      continue;
    }
    unitOf[static_cast<std::size_t>(k)] = static_cast<int>(boxes.size());
    boxes.push_back({kBoxWidth, kBoxHeight});
  }

  // The edges between units. A large tangle gives Graphviz only the edges by which a walk from the
  // start first reaches each unit: the layers stay the same, the layout stays fast.
  std::set<std::pair<int, int>> unitEdges;
  for (const Edge& e : graph.edges) {
    const int a = unitOf[static_cast<std::size_t>(e.from)], b = unitOf[static_cast<std::size_t>(e.to)];
    if (a >= 0 && b >= 0 && a != b) unitEdges.emplace(a, b);
  }
  std::vector<std::pair<int, int>> edges;
  constexpr std::size_t kAllEdgesUpTo = 150;
  if (boxes.size() <= kAllEdgesUpTo) {
    edges.assign(unitEdges.begin(), unitEdges.end());
  } else {
    std::vector<std::vector<int>> out(boxes.size());
    for (const auto& [a, b] : unitEdges) out[static_cast<std::size_t>(a)].push_back(b);
    std::vector<bool> reached(boxes.size(), false);
    std::vector<int> roots;
    if (graph.start >= 0 && unitOf[static_cast<std::size_t>(graph.start)] >= 0)
      roots.push_back(unitOf[static_cast<std::size_t>(graph.start)]);
    for (int u = 0; u < static_cast<int>(boxes.size()); ++u) roots.push_back(u);
    std::deque<int> queue;
    for (int root : roots) {
      if (reached[static_cast<std::size_t>(root)]) continue;
      reached[static_cast<std::size_t>(root)] = true;
      queue.push_back(root);
      while (!queue.empty()) {
        const int u = queue.front();
        queue.pop_front();
        for (int v : out[static_cast<std::size_t>(u)])
          if (!reached[static_cast<std::size_t>(v)]) {
            reached[static_cast<std::size_t>(v)] = true;
            edges.emplace_back(u, v);
            queue.push_back(v);
          }
      }
    }
  }

  std::vector<std::pair<double, double>> centres = gv::layered(boxes, edges);
  if (centres.size() != boxes.size()) {
    // Graphviz failed: the units side by side, so that the map still shows every location.
    centres.clear();
    double x = 0;
    for (const gv::Box& b : boxes) {
      centres.emplace_back(x + b.width / 2, b.height / 2);
      x += b.width + kCellWidth - kBoxWidth;
    }
  }
  double left = 0, bottom = 0;
  bool any = false;
  for (int k = 0; k < n; ++k) {
    const int u = unitOf[static_cast<std::size_t>(k)];
    if (u < 0) continue;
    const auto uu = static_cast<std::size_t>(u);
    Point p{centres[uu].first, centres[uu].second};
    const int c = grid.component[static_cast<std::size_t>(k)];
    if (c >= 0) {
      const auto uc = static_cast<std::size_t>(c);
      const double top = p.y - boxes[uu].height / 2, west = p.x - boxes[uu].width / 2;
      p.x = west + (grid.column[static_cast<std::size_t>(k)] - minColumn[uc]) * kCellWidth + kBoxWidth / 2;
      p.y = top + (grid.row[static_cast<std::size_t>(k)] - minRow[uc]) * kCellHeight + kBoxHeight / 2;
    }
    at[static_cast<std::size_t>(k)] = p;
    left = any ? std::min(left, p.x) : p.x;
    bottom = any ? std::max(bottom, p.y) : p.y;
    any = true;
  }
  // Locations nothing links: rows beneath, about as many per row as there are rows.
  const int perRow = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(isolated.size())))));
  const double top = any ? bottom + kCellHeight : kBoxHeight / 2;
  if (!any) left = kBoxWidth / 2;
  for (std::size_t i = 0; i < isolated.size(); ++i)
    at[static_cast<std::size_t>(isolated[i])] = {left + static_cast<double>(i % perRow) * kCellWidth,
                                                 top + static_cast<double>(i / perRow) * kCellHeight};
  return at;
}

}  // namespace

bool overlaps(const Point& a, const Point& b) {
  return std::abs(a.x - b.x) < kBoxWidth + kMargin && std::abs(a.y - b.y) < kBoxHeight + kMargin;
}

Grid placeOnGrid(const StoryGraph& graph) {
  const int n = static_cast<int>(graph.nodes.size());
  Grid grid;
  grid.component.assign(static_cast<std::size_t>(n), -1);
  grid.column.assign(static_cast<std::size_t>(n), 0);
  grid.row.assign(static_cast<std::size_t>(n), 0);
  struct Step {
    int to;
    Offset offset;
    int edge;
    bool floor;  // up or down: placed only where free, never a conflict
  };
  std::vector<std::vector<Step>> steps(static_cast<std::size_t>(n));
  std::vector<bool> compass(static_cast<std::size_t>(n), false);
  for (int i = 0; i < static_cast<int>(graph.edges.size()); ++i) {
    const Edge& e = graph.edges[static_cast<std::size_t>(i)];
    const auto strong = offsetOf(e.direction);
    const auto offset = strong ? strong : floorOffsetOf(e.direction);
    if (!offset || e.from == e.to) continue;
    steps[static_cast<std::size_t>(e.from)].push_back({e.to, *offset, i, !strong});
    steps[static_cast<std::size_t>(e.to)].push_back({e.from, {-offset->dx, -offset->dy}, i, !strong});
    if (strong) compass[static_cast<std::size_t>(e.from)] = compass[static_cast<std::size_t>(e.to)] = true;
  }
  std::unordered_map<long long, int> occupied;  // (component, column, row) -> node
  const auto cellKey = [](int c, int col, int row) {
    return (static_cast<long long>(c) << 40) ^ (static_cast<long long>(col + (1 << 19)) << 20) ^ (row + (1 << 19));
  };
  std::set<int> conflicted;
  const auto conflict = [&](int edge, int other) {
    if (conflicted.insert(edge).second) grid.conflicts.push_back({edge, other});
  };
  // A grid grows by the four directions first; up and down join further rooms only once those
  // are all placed, so that they never take a cell a compass direction needs.
  std::deque<int> queue, floors;
  for (int root = 0; root < n; ++root) {
    if (grid.component[static_cast<std::size_t>(root)] >= 0 || !compass[static_cast<std::size_t>(root)]) continue;
    const int c = grid.components++;
    grid.component[static_cast<std::size_t>(root)] = c;
    occupied[cellKey(c, 0, 0)] = root;
    queue.push_back(root);
    while (!queue.empty() || !floors.empty()) {
      const bool floor = queue.empty();
      const int u = floor ? floors.front() : queue.front();
      (floor ? floors : queue).pop_front();
      if (!floor) floors.push_back(u);
      const auto uu = static_cast<std::size_t>(u);
      for (const Step& s : steps[uu]) {
        if (s.floor != floor) continue;
        const auto uv = static_cast<std::size_t>(s.to);
        const int col = grid.column[uu] + s.offset.dx, row = grid.row[uu] + s.offset.dy;
        if (grid.component[uv] >= 0) {
          if (!floor && (grid.component[uv] != c || grid.column[uv] != col || grid.row[uv] != row))
            conflict(s.edge, -1);
          continue;
        }
        const auto [it, fresh] = occupied.emplace(cellKey(c, col, row), s.to);
        if (!fresh) {
          if (!floor) conflict(s.edge, it->second);
          continue;
        }
        grid.component[uv] = c;
        grid.column[uv] = col;
        grid.row[uv] = row;
        queue.push_back(s.to);
      }
    }
  }
  // A location whose every edge leads to or from one grid stands beside its first neighbour there,
  // in the first free cell around it, instead of far off where the grid's box ends.
  std::vector<std::vector<int>> neighbours(static_cast<std::size_t>(n));
  for (const Edge& e : graph.edges)
    if (e.from != e.to) {
      neighbours[static_cast<std::size_t>(e.from)].push_back(e.to);
      neighbours[static_cast<std::size_t>(e.to)].push_back(e.from);
    }
  static constexpr Offset kAround[] = {{1, 0},   {0, -1}, {-1, 0}, {0, 1},   {1, -1}, {1, 1},  {-1, -1},
                                       {-1, 1},  {2, 0},  {0, -2}, {-2, 0},  {0, 2},  {2, -1}, {2, 1},
                                       {-2, -1}, {-2, 1}, {1, -2}, {-1, -2}, {1, 2},  {-1, 2}};
  for (int k = 0; k < n; ++k) {
    const auto uk = static_cast<std::size_t>(k);
    if (grid.component[uk] >= 0 || neighbours[uk].empty()) continue;
    const int c = grid.component[static_cast<std::size_t>(neighbours[uk].front())];
    if (c < 0 || std::any_of(neighbours[uk].begin(), neighbours[uk].end(),
                             [&](int v) { return grid.component[static_cast<std::size_t>(v)] != c; }))
      continue;
    const auto anchor = static_cast<std::size_t>(neighbours[uk].front());
    for (const Offset& o : kAround) {
      const int col = grid.column[anchor] + o.dx, row = grid.row[anchor] + o.dy;
      if (!occupied.emplace(cellKey(c, col, row), k).second) continue;
      grid.component[uk] = c;
      grid.column[uk] = col;
      grid.row[uk] = row;
      break;
    }
  }
  std::sort(grid.conflicts.begin(), grid.conflicts.end(),
            [](const GridConflict& a, const GridConflict& b) { return a.edge < b.edge; });
  return grid;
}

Layout layoutStory(const StoryGraph& graph, const Placement& author, const Layout* previous) {
  const int n = static_cast<int>(graph.nodes.size());
  Layout layout;
  const Grid grid = placeOnGrid(graph);
  layout.conflicts = grid.conflicts;
  layout.onGrid.resize(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k)
    layout.onGrid[static_cast<std::size_t>(k)] = grid.component[static_cast<std::size_t>(k)] >= 0;

  // Who stands where already: the author's places first, then the places of the layout before.
  enum class Origin { Author, Kept, New };
  std::vector<Origin> origin(static_cast<std::size_t>(n), Origin::New);
  std::vector<Point> at(static_cast<std::size_t>(n));
  int fresh = 0;
  for (int k = 0; k < n; ++k) {
    const Node& node = graph.nodes[static_cast<std::size_t>(k)];
    const auto uk = static_cast<std::size_t>(k);
    if (auto it = author.find(node.key); it != author.end()) {
      origin[uk] = Origin::Author;
      at[uk] = it->second;
    } else if (previous) {
      if (auto p = previous->positions.find(node.key); p != previous->positions.end()) {
        origin[uk] = Origin::Kept;
        at[uk] = p->second;
      }
    }
    if (origin[uk] == Origin::New) ++fresh;
  }

  const bool incremental = previous && fresh < n && fresh <= std::max(8, n / 4);
  if (fresh > 0 && !incremental) {
    const std::vector<Point> fresh = autoLayout(graph, grid);
    for (int k = 0; k < n; ++k)
      if (origin[static_cast<std::size_t>(k)] == Origin::New)
        at[static_cast<std::size_t>(k)] = fresh[static_cast<std::size_t>(k)];
  } else if (fresh > 0) {
    // A few new locations: each beside a placed neighbour (in its compass direction when it has
    // one), else beneath the map.
    std::vector<bool> placed(static_cast<std::size_t>(n));
    double left = 0, bottom = 0;
    bool any = false;
    for (int k = 0; k < n; ++k) {
      const auto uk = static_cast<std::size_t>(k);
      placed[uk] = origin[uk] != Origin::New;
      if (!placed[uk]) continue;
      left = any ? std::min(left, at[uk].x) : at[uk].x;
      bottom = any ? std::max(bottom, at[uk].y) : at[uk].y;
      any = true;
    }
    std::vector<std::vector<int>> touching(static_cast<std::size_t>(n));
    for (int i = 0; i < static_cast<int>(graph.edges.size()); ++i) {
      const Edge& e = graph.edges[static_cast<std::size_t>(i)];
      if (e.from == e.to) continue;
      touching[static_cast<std::size_t>(e.from)].push_back(i);
      touching[static_cast<std::size_t>(e.to)].push_back(i);
    }
    for (int k = 0; k < n; ++k) {
      const auto uk = static_cast<std::size_t>(k);
      if (placed[uk]) continue;
      std::optional<Point> spot;
      for (int pass = 0; pass < 2 && !spot; ++pass)
        for (int i : touching[uk]) {
          const Edge& e = graph.edges[static_cast<std::size_t>(i)];
          const bool outgoing = e.from == k;
          const int other = outgoing ? e.to : e.from;
          if (!placed[static_cast<std::size_t>(other)]) continue;
          const Point base = at[static_cast<std::size_t>(other)];
          const auto offset = offsetOf(e.direction);
          if (pass == 0 && !offset) continue;
          const int sign = outgoing ? -1 : 1;  // the edge names where its target lies
          spot = offset ? Point{base.x + sign * offset->dx * kCellWidth, base.y + sign * offset->dy * kCellHeight}
                        : Point{base.x, base.y + sign * kCellHeight};
          break;
        }
      if (!spot) {
        spot = Point{any ? left : kBoxWidth / 2, any ? bottom + kCellHeight : kBoxHeight / 2};
        bottom = spot->y;
        left = spot->x;
        any = true;
      }
      at[uk] = *spot;
      placed[uk] = true;
    }
  }

  // No two boxes overlap: the author's stand, the kept ones move only off the author's, the new
  // ones off everything before them.
  Occupancy occupancy;
  for (Origin pass : {Origin::Author, Origin::Kept, Origin::New})
    for (int k = 0; k < n; ++k) {
      const auto uk = static_cast<std::size_t>(k);
      if (origin[uk] != pass) continue;
      if (pass != Origin::Author) at[uk] = occupancy.freePlaceNear(at[uk]);
      occupancy.add(at[uk]);
    }
  layout.at = std::move(at);
  for (int k = 0; k < n; ++k)
    layout.positions[graph.nodes[static_cast<std::size_t>(k)].key] = layout.at[static_cast<std::size_t>(k)];
  return layout;
}

}  // namespace marvo::storymap
