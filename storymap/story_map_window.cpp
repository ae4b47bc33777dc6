// The story map window: the scene of boxes and edges, the computation off the GUI thread, the
// sidecar file of dragged boxes, coverage and export.
#include "story_map_window.h"

#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>

#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "storymap/export.h"
#include "storymap/sidecar.h"

namespace marvo {

using storymap::kBoxHeight;
using storymap::kBoxWidth;

namespace {

constexpr int kDebounceMs = 300;

QColor fillOf(std::uint8_t marks) {
  if (marks & storymap::kUnreachable) return QColor(0xbd, 0xbd, 0xbd);
  if (marks & storymap::kClosedLoop) return QColor(0xf4, 0xa6, 0xa6);
  if (marks & storymap::kDeadEnd) return QColor(0xf7, 0xc9, 0x8b);
  if (marks & storymap::kEnding) return QColor(0xb7, 0xd9, 0xf7);
  if (marks & storymap::kStart) return QColor(0xb9, 0xe4, 0xb0);
  return Qt::white;
}

const QColor kVisited(0x2e, 0x7d, 0x32);
const QColor kUnvisited(0xd3, 0x2f, 0x2f);

QPen edgePen(storymap::EdgeKind kind) {
  using storymap::EdgeKind;
  QPen pen(QColor(0x42, 0x42, 0x42), 1.3);
  switch (kind) {
    case EdgeKind::Choice:
      pen.setColor(QColor(0x15, 0x65, 0xc0));
      break;
    case EdgeKind::Call:
      pen.setStyle(Qt::DashLine);
      break;
    case EdgeKind::Hook:
      pen.setStyle(Qt::DashDotLine);
      break;
    case EdgeKind::Fall:
      pen.setStyle(Qt::DotLine);
      break;
    default:
      break;
  }
  return pen;
}

// Where the segment from the box centre `c` towards `towards` leaves the box.
QPointF leaveBox(QPointF c, QPointF towards) {
  const QPointF d = towards - c;
  if (std::abs(d.x()) < 1e-6 && std::abs(d.y()) < 1e-6) return c;
  const double sx = std::abs(d.x()) > 1e-6 ? (kBoxWidth / 2) / std::abs(d.x()) : 1e9;
  const double sy = std::abs(d.y()) > 1e-6 ? (kBoxHeight / 2) / std::abs(d.y()) : 1e9;
  return c + d * std::min({sx, sy, 1.0});
}

// Do the two graphs draw the same boxes and arrows (lines and texts aside)? Then the scene is
// updated in place instead of being built again.
bool drawnAlike(const storymap::StoryGraph& a, const storymap::StoryGraph& b) {
  if (a.nodes.size() != b.nodes.size() || a.edges.size() != b.edges.size()) return false;
  for (std::size_t k = 0; k < a.nodes.size(); ++k)
    if (a.nodes[k].key != b.nodes[k].key) return false;
  for (std::size_t i = 0; i < a.edges.size(); ++i) {
    const auto &x = a.edges[i], &y = b.edges[i];
    if (x.from != y.from || x.to != y.to || x.kind != y.kind || x.label != y.label) return false;
  }
  return true;
}

}  // namespace

namespace storymap_view {

// A location's box: its name and first text line; dragged to a new place, clicked to go there.
class BoxItem : public QGraphicsItem {
 public:
  BoxItem(StoryMapWindow* window, int node, const storymap::Node& n) : window_(window), node_(node) {
    setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
    setZValue(1);
    setNode(n);
  }
  // Shows the location's name, text and marks (repainted only when they changed).
  void setNode(const storymap::Node& n) {
    const QString name = toQt(n.name), text = toQt(n.text);
    const QColor fill = fillOf(n.marks);
    if (name == name_ && text == text_ && fill == fill_) return;
    name_ = name;
    text_ = text;
    fill_ = fill;
    setToolTip(text_.isEmpty() ? name_ : name_ + QStringLiteral("\n") + text_);
    update();
  }
  int node() const { return node_; }
  const QString& name() const { return name_; }
  void setCoverage(int state) {  // 0 none, 1 visited, 2 not visited
    coverage_ = state;
    update();
  }
  QRectF boundingRect() const override {
    return QRectF(-kBoxWidth / 2 - 3, -kBoxHeight / 2 - 3, kBoxWidth + 6, kBoxHeight + 6);
  }
  void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
    const QRectF r(-kBoxWidth / 2, -kBoxHeight / 2, kBoxWidth, kBoxHeight);
    QPen pen(QColor(0x61, 0x61, 0x61), 1);
    if (coverage_ == 1) pen = QPen(kVisited, 2.5);
    if (coverage_ == 2) pen = QPen(kUnvisited, 2.5, Qt::DashLine);
    if (isSelected()) pen = QPen(QColor(0x19, 0x76, 0xd2), 3.5);
    p->setPen(pen);
    p->setBrush(fill_);
    p->drawRoundedRect(r, 8, 8);
    QFont bold = p->font();
    bold.setBold(true);
    bold.setPointSizeF(9);
    p->setFont(bold);
    p->setPen(Qt::black);
    const QRectF inner = r.adjusted(6, 4, -6, -4);
    const QFontMetricsF fm(bold);
    p->drawText(QRectF(inner.left(), inner.top(), inner.width(), inner.height() / 2), Qt::AlignCenter,
                fm.elidedText(name_, Qt::ElideRight, inner.width()));
    QFont plain = bold;
    plain.setBold(false);
    plain.setPointSizeF(8);
    p->setFont(plain);
    p->drawText(QRectF(inner.left(), inner.center().y(), inner.width(), inner.height() / 2), Qt::AlignCenter,
                QFontMetricsF(plain).elidedText(text_, Qt::ElideRight, inner.width()));
  }

 protected:
  QVariant itemChange(GraphicsItemChange change, const QVariant& value) override {
    if (change == ItemPositionHasChanged) window_->boxMoved(node_);
    return QGraphicsItem::itemChange(change, value);
  }
  void mousePressEvent(QGraphicsSceneMouseEvent* event) override {
    pressedAt_ = pos();
    QGraphicsItem::mousePressEvent(event);
  }
  void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override {
    QGraphicsItem::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (pos() != pressedAt_)
      window_->boxDropped(node_);
    else
      window_->boxClicked(node_);
  }

 private:
  StoryMapWindow* window_;
  int node_;
  QString name_, text_;
  QColor fill_;
  int coverage_ = 0;
  QPointF pressedAt_;
};

// An edge: an arrow between two boxes (a loop for a location's own), with its label.
class EdgeItem : public QGraphicsItem {
 public:
  EdgeItem(StoryMapWindow* window, int edge, const storymap::Edge& e, BoxItem* from, BoxItem* to, double offset)
      : window_(window), edge_(edge), from_(from), to_(to), offset_(offset) {
    pen_ = edgePen(e.kind);
    label_ = toQt(e.label);
    if (label_.size() > 24) label_ = label_.left(23) + QChar(0x2026);
    setZValue(0);
    setToolTip(label_);
    updateShape();
  }
  void setCoverage(int state) {
    coverage_ = state;
    update();
  }
  QPointF middle() const { return middle_; }
  void updateShape() {
    prepareGeometryChange();
    path_ = QPainterPath();
    arrow_ = QPolygonF();
    const QPointF a = from_->pos(), b = to_->pos();
    QPointF tip, back;
    if (from_ == to_) {
      const QPointF corner = a + QPointF(kBoxWidth / 2 - 12, -kBoxHeight / 2);
      path_.moveTo(corner);
      path_.cubicTo(corner + QPointF(10, -34), corner + QPointF(40, -10), corner + QPointF(12, 12));
      tip = corner + QPointF(12, 12);
      back = corner + QPointF(40, -10);
      middle_ = corner + QPointF(22, -16);
    } else {
      QPointF d = b - a;
      const double length = std::hypot(d.x(), d.y());
      const QPointF normal = length > 0 ? QPointF(-d.y() / length, d.x() / length) : QPointF();
      const QPointF shift = normal * offset_;
      const QPointF start = leaveBox(a, b) + shift, end = leaveBox(b, a) + shift;
      path_.moveTo(start);
      path_.lineTo(end);
      tip = end;
      back = start;
      middle_ = (start + end) / 2;
    }
    const QPointF d = tip - back;
    const double length = std::hypot(d.x(), d.y());
    if (length > 0) {
      const QPointF u = d / length, n(-u.y(), u.x());
      arrow_ << tip << tip - u * 9 + n * 4 << tip - u * 9 - n * 4;
    }
    QPainterPathStroker stroker;
    stroker.setWidth(8);
    shape_ = stroker.createStroke(path_);
    shape_.addPolygon(arrow_);
    bounds_ = shape_.boundingRect().united(labelRect()).adjusted(-2, -2, 2, 2);
  }
  QRectF boundingRect() const override { return bounds_; }
  QPainterPath shape() const override { return shape_; }
  void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
    QPen pen = pen_;
    if (coverage_ == 1) pen.setColor(kVisited);
    if (coverage_ == 2) {
      pen.setColor(kUnvisited);
      pen.setStyle(Qt::DashLine);
    }
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    p->drawPath(path_);
    p->setBrush(pen.color());
    p->setPen(QPen(pen.color(), 1));
    p->drawPolygon(arrow_);
    if (!label_.isEmpty()) {
      QFont f = p->font();
      f.setPointSizeF(7.5);
      p->setFont(f);
      p->setPen(QColor(0x30, 0x30, 0x30));
      p->drawText(labelRect(), Qt::AlignCenter, label_);
    }
  }

 protected:
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent*) override { window_->edgeDoubleClicked(edge_); }

 private:
  QRectF labelRect() const { return QRectF(middle_.x() - 60, middle_.y() - 14, 120, 12); }

  StoryMapWindow* window_;
  int edge_;
  BoxItem* from_;
  BoxItem* to_;
  double offset_;
  QPen pen_;
  QString label_;
  QPainterPath path_, shape_;
  QPolygonF arrow_;
  QPointF middle_;
  QRectF bounds_;
  int coverage_ = 0;
};

// The view: the wheel with Ctrl zooms, dragging the background pans.
class MapView : public QGraphicsView {
 public:
  using QGraphicsView::QGraphicsView;

 protected:
  void wheelEvent(QWheelEvent* event) override {
    if (!(event->modifiers() & Qt::ControlModifier)) return QGraphicsView::wheelEvent(event);
    const double factor = event->angleDelta().y() > 0 ? 1.15 : 1 / 1.15;
    scale(factor, factor);
  }
};

}  // namespace storymap_view

using storymap_view::BoxItem;
using storymap_view::EdgeItem;

struct StoryMapWindow::Result {
  storymap::StoryGraph graph;
  storymap::Layout layout;
};

StoryMapWindow::StoryMapWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), document_(document), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Карта сюжета"));
  scene_ = new QGraphicsScene(this);
  view_ = new storymap_view::MapView(scene_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setDragMode(QGraphicsView::ScrollHandDrag);
  view_->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);

  search_ = new QLineEdit(this);
  search_->setPlaceholderText(QStringLiteral("Найти локацию"));
  search_->setClearButtonEnabled(true);
  connect(search_, &QLineEdit::returnPressed, this, [this] { findLocation(search_->text()); });
  auto* fitButton = new QPushButton(QStringLiteral("Вписать"), this);
  auto* inButton = new QPushButton(QStringLiteral("+"), this);
  auto* outButton = new QPushButton(QStringLiteral("−"), this);
  auto* exportButton = new QPushButton(QStringLiteral("Экспорт..."), this);
  fitButton->setToolTip(QStringLiteral("Показать всю карту"));
  exportButton->setToolTip(QStringLiteral("Сохранить карту как PNG или SVG"));
  connect(fitButton, &QPushButton::clicked, this, &StoryMapWindow::fit);
  connect(inButton, &QPushButton::clicked, this, &StoryMapWindow::zoomIn);
  connect(outButton, &QPushButton::clicked, this, &StoryMapWindow::zoomOut);
  connect(exportButton, &QPushButton::clicked, this, &StoryMapWindow::exportMap);
  auto* tools = new QHBoxLayout;
  tools->addWidget(search_, 1);
  tools->addWidget(fitButton);
  tools->addWidget(inButton);
  tools->addWidget(outButton);
  tools->addWidget(exportButton);

  const auto swatch = [](const char* colour, const QString& text) {
    return QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;%2&nbsp;&nbsp; ")
        .arg(QLatin1String(colour), text);
  };
  auto* legend = new QLabel(this);
  legend->setTextFormat(Qt::RichText);
  legend->setText(swatch("#b9e4b0", QStringLiteral("начало")) + swatch("#b7d9f7", QStringLiteral("концовка")) +
                  swatch("#f7c98b", QStringLiteral("тупик")) + swatch("#bdbdbd", QStringLiteral("недостижима")) +
                  swatch("#f4a6a6", QStringLiteral("круг без выхода")) +
                  QStringLiteral("| стрелки: команда, <span style=\"color:#1565c0\">выбор</span>, переход, "
                                 "- - вызов, -·- библиотека, ··· продолжение"));
  legend->setWordWrap(true);
  status_ = new QLabel(this);
  status_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(view_, 1);
  layout->addWidget(legend);
  layout->addWidget(status_);

  workerContext_ = new QObject;
  workerContext_->moveToThread(&worker_);
  worker_.start();

  debounce_.setSingleShot(true);
  debounce_.setInterval(kDebounceMs);
  connect(&debounce_, &QTimer::timeout, this, &StoryMapWindow::startComputation);
  connect(document_.textDocument(), &QTextDocument::contentsChanged, this, &StoryMapWindow::scheduleUpdate);
  connect(&document_, &ScenarioDocument::textReplaced, this, [this] {
    haveLayout_ = false;  // another text: a fresh layout
    scheduleUpdate();
  });
  connect(&document_, &ScenarioDocument::fileChanged, this, [this] { scheduleUpdate(); });
  refresh();
}

StoryMapWindow::~StoryMapWindow() {
  worker_.quit();
  worker_.wait();
  delete workerContext_;
}

void StoryMapWindow::setLibrary(const std::vector<std::string>& library) {
  library_ = library;
  scheduleUpdate();
}

void StoryMapWindow::scheduleUpdate() { debounce_.start(); }

void StoryMapWindow::refresh() {
  debounce_.stop();
  startComputation();
}

void StoryMapWindow::startComputation() {
  if (computing_) {
    pending_ = true;
    return;
  }
  computing_ = true;
  readSidecar();
  // The texts are copied here, on the GUI thread; the graph and the layout are made on the worker.
  std::optional<storymap::Layout> previous;
  if (haveLayout_) {
    previous.emplace();
    previous->positions = layout_.positions;
  }
  QMetaObject::invokeMethod(
      workerContext_,
      [this, scenario = document_.lines(), library = library_, author = author_, previous = std::move(previous)] {
        auto result = std::make_shared<Result>();
        result->graph = storymap::buildStoryGraph(scenario, library);
        result->layout = storymap::layoutStory(result->graph, author, previous ? &*previous : nullptr);
        QMetaObject::invokeMethod(
            this, [this, result] { apply(result); }, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

void StoryMapWindow::apply(std::shared_ptr<Result> result) {
  computing_ = false;
  const QString selected = selectedLocation();
  const bool first = !haveLayout_;
  const bool sameShape = haveLayout_ && drawnAlike(graph_, result->graph);
  graph_ = std::move(result->graph);
  layout_ = std::move(result->layout);
  haveLayout_ = true;
  // A box dragged while this was computed stays where the author dropped it.
  for (std::size_t k = 0; k < graph_.nodes.size() && k < layout_.at.size(); ++k)
    if (auto it = author_.find(graph_.nodes[k].key); it != author_.end() && !(layout_.at[k] == it->second)) {
      layout_.at[k] = it->second;
      layout_.positions[graph_.nodes[k].key] = it->second;
    }
  if (sameShape)
    updateScene();
  else
    rebuildScene();
  if (!selected.isEmpty())
    for (BoxItem* box : boxes_)
      if (box->name() == selected) box->setSelected(true);
  if (coverageShown_) showCoverage(visitedLines_);
  setStatus();
  if (first) fit();
  emit mapUpdated();
  if (pending_) {
    pending_ = false;
    startComputation();
  }
}

void StoryMapWindow::rebuildScene() {
  scene_->clear();
  boxes_.clear();
  edges_.clear();
  boxes_.reserve(graph_.nodes.size());
  for (std::size_t k = 0; k < graph_.nodes.size(); ++k) {
    auto* box = new BoxItem(this, static_cast<int>(k), graph_.nodes[k]);
    const storymap::Point p = k < layout_.at.size() ? layout_.at[k] : storymap::Point{};
    box->setPos(p.x, p.y);
    scene_->addItem(box);
    boxes_.push_back(box);
  }
  // Edges between the same two locations are drawn side by side.
  std::map<std::pair<int, int>, int> count, drawn;
  for (const auto& e : graph_.edges) ++count[{std::min(e.from, e.to), std::max(e.from, e.to)}];
  for (std::size_t i = 0; i < graph_.edges.size(); ++i) {
    const auto& e = graph_.edges[i];
    const std::pair<int, int> pair{std::min(e.from, e.to), std::max(e.from, e.to)};
    const int k = drawn[pair]++;
    double offset = (k - (count[pair] - 1) / 2.0) * 7;
    if (e.from > e.to) offset = -offset;  // the normal turns with the direction
    auto* item = new EdgeItem(this, static_cast<int>(i), e, boxes_[static_cast<std::size_t>(e.from)],
                              boxes_[static_cast<std::size_t>(e.to)], offset);
    scene_->addItem(item);
    edges_.push_back(item);
  }
  scene_->setSceneRect(scene_->itemsBoundingRect().adjusted(-200, -200, 200, 200));
}

void StoryMapWindow::updateScene() {
  for (std::size_t k = 0; k < boxes_.size(); ++k) {
    boxes_[k]->setNode(graph_.nodes[k]);
    const storymap::Point p = k < layout_.at.size() ? layout_.at[k] : storymap::Point{};
    if (boxes_[k]->pos() != QPointF(p.x, p.y)) boxes_[k]->setPos(p.x, p.y);
  }
}

void StoryMapWindow::boxMoved(int node) {
  for (std::size_t i = 0; i < graph_.edges.size() && i < edges_.size(); ++i)
    if (graph_.edges[i].from == node || graph_.edges[i].to == node) edges_[i]->updateShape();
}

void StoryMapWindow::boxDropped(int node) {
  const auto k = static_cast<std::size_t>(node);
  const QPointF p = boxes_[k]->pos();
  const storymap::Point at{std::round(p.x()), std::round(p.y())};
  const std::string& key = graph_.nodes[k].key;
  author_[key] = at;
  layout_.at[k] = at;
  layout_.positions[key] = at;
  const QString path = document_.path();
  if (path.isEmpty()) {
    note_ = QStringLiteral("Раскладка сохранится в файл рядом со сценарием, когда сценарий будет сохранён.");
  } else if (auto error = storymap::writeSidecar(storymap::sidecarPath(path.toStdString()), author_)) {
    note_ = QStringLiteral("Раскладка карты не сохранена: %1").arg(QString::fromStdString(*error));
  } else if (note_.startsWith(QStringLiteral("Раскладка"))) {
    note_.clear();
  }
  setStatus();
}

void StoryMapWindow::boxClicked(int node) {
  const auto& n = graph_.nodes[static_cast<std::size_t>(node)];
  if (n.source == LineOrigin::Scenario) emit locationActivated(n.line);
}

void StoryMapWindow::edgeDoubleClicked(int edge) {
  const auto& e = graph_.edges[static_cast<std::size_t>(edge)];
  if (e.source == LineOrigin::Scenario) emit lineActivated(e.line);
}

void StoryMapWindow::readSidecar() {
  const QString path = document_.path();
  if (path == sidecarFor_) return;
  sidecarFor_ = path;
  author_.clear();
  note_.clear();
  haveLayout_ = false;
  if (path.isEmpty()) return;
  const storymap::SidecarRead read = storymap::readSidecar(storymap::sidecarPath(path.toStdString()));
  author_ = read.placement;
  note_ = toQt(read.note);
}

void StoryMapWindow::followLocation(int line) {
  int best = -1;
  for (std::size_t k = 0; k < graph_.nodes.size(); ++k) {
    const auto& n = graph_.nodes[k];
    if (n.source == LineOrigin::Scenario && n.line <= line &&
        (best < 0 || n.line > graph_.nodes[static_cast<std::size_t>(best)].line))
      best = static_cast<int>(k);
  }
  if (best < 0 || static_cast<std::size_t>(best) >= boxes_.size()) return;
  BoxItem* box = boxes_[static_cast<std::size_t>(best)];
  if (box->isSelected() && scene_->selectedItems().size() == 1) return;
  scene_->clearSelection();
  box->setSelected(true);
  view_->ensureVisible(box);
}

bool StoryMapWindow::findLocation(const QString& text) {
  if (text.trimmed().isEmpty()) return false;
  for (BoxItem* box : boxes_)
    if (box->name().contains(text.trimmed(), Qt::CaseInsensitive)) {
      scene_->clearSelection();
      box->setSelected(true);
      view_->centerOn(box);
      return true;
    }
  return false;
}

void StoryMapWindow::fit() {
  const QRectF bounds = scene_->itemsBoundingRect();
  if (bounds.isEmpty()) return;
  view_->fitInView(bounds.adjusted(-20, -20, 20, 20), Qt::KeepAspectRatio);
  // A large map is not shrunk beyond legibility: the start stays in view instead.
  if (view_->transform().m11() < 0.2) {
    view_->resetTransform();
    view_->scale(0.2, 0.2);
    if (graph_.start >= 0 && static_cast<std::size_t>(graph_.start) < boxes_.size())
      view_->centerOn(boxes_[static_cast<std::size_t>(graph_.start)]);
  }
}

void StoryMapWindow::zoomIn() { view_->scale(1.25, 1.25); }
void StoryMapWindow::zoomOut() { view_->scale(0.8, 0.8); }

void StoryMapWindow::showCoverage(const std::vector<int>& visitedLines) {
  visitedLines_ = visitedLines;
  coverageShown_ = true;
  const storymap::Coverage c = storymap::coverageOf(graph_, visitedLines);
  for (std::size_t k = 0; k < boxes_.size(); ++k) boxes_[k]->setCoverage(c.nodes[k] ? 1 : 2);
  for (std::size_t i = 0; i < edges_.size(); ++i) edges_[i]->setCoverage(c.edges[i] ? 1 : 2);
  setStatus();
}

void StoryMapWindow::clearCoverage() {
  coverageShown_ = false;
  visitedLines_.clear();
  for (BoxItem* box : boxes_) box->setCoverage(0);
  for (EdgeItem* edge : edges_) edge->setCoverage(0);
  setStatus();
}

std::optional<QPointF> StoryMapWindow::locationCentre(const QString& name) const {
  for (BoxItem* box : boxes_)
    if (box->name() == name) return box->pos();
  return std::nullopt;
}

std::optional<QPointF> StoryMapWindow::edgeMiddle(int line) const {
  for (std::size_t i = 0; i < graph_.edges.size() && i < edges_.size(); ++i)
    if (graph_.edges[i].source == LineOrigin::Scenario && graph_.edges[i].line == line) return edges_[i]->middle();
  return std::nullopt;
}

QString StoryMapWindow::selectedLocation() const {
  for (BoxItem* box : boxes_)
    if (box->isSelected()) return box->name();
  return {};
}

QString StoryMapWindow::statusText() const { return status_->text(); }

void StoryMapWindow::setStatus() {
  QStringList parts;
  parts << QStringLiteral("Локаций: %1, переходов: %2.").arg(graph_.nodes.size()).arg(graph_.edges.size());
  if (coverageShown_) {
    const storymap::Coverage c = storymap::coverageOf(graph_, visitedLines_);
    parts << QStringLiteral("Пройдено прохождениями: %1 из %2 локаций.")
                 .arg(std::count(c.nodes.begin(), c.nodes.end(), true))
                 .arg(c.nodes.size());
  }
  QStringList conflicts;
  for (const auto& conflict : layout_.conflicts) conflicts << toQt(storymap::conflictText(graph_, conflict));
  if (!conflicts.isEmpty())
    parts << QStringLiteral("Не легли на сетку направлений: %1 (наведите, чтобы увидеть).").arg(conflicts.size());
  if (!note_.isEmpty()) parts << note_;
  status_->setText(parts.join(QLatin1Char(' ')));
  status_->setToolTip(conflicts.join(QLatin1Char('\n')));
}

void StoryMapWindow::exportMap() {
  const QString base =
      document_.path().isEmpty() ? QStringLiteral("map") : QFileInfo(document_.path()).completeBaseName();
  FileDialogRequest request;
  request.defaultSuffix = QStringLiteral("png");
  request.initialName = base + QStringLiteral(".png");
  const auto chosen =
      dialogs_.saveFileOfType(this, request, {QStringLiteral("PNG (*.png)"), QStringLiteral("SVG (*.svg)")}, 0);
  if (!chosen) return;
  QString error;
  if (chosen->type == 1 || chosen->name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    if (auto svg = storymap::toSvg(graph_, layout_)) {
      if (auto failed = replaceFile(chosen->name.toStdString(), *svg)) error = fileProblem(*failed);
    } else {
      error = QStringLiteral("Graphviz не смог нарисовать карту");
    }
  } else {
    const QRectF bounds = scene_->itemsBoundingRect().adjusted(-20, -20, 20, 20);
    // Large maps are drawn smaller, so that the picture stays within what an image can hold.
    const double scale = std::min(1.0, 16000.0 / std::max(bounds.width(), bounds.height()));
    QImage image((bounds.size() * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      scene_->clearSelection();
      scene_->render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())), bounds);
    }
    if (!image.save(chosen->name, "PNG")) error = chosen->name + QStringLiteral(": запись не удалась");
  }
  if (!error.isEmpty())
    dialogs_.message(this, QStringLiteral("Карта не сохранена (%1). Выберите другой файл или папку.").arg(error));
}

}  // namespace marvo
