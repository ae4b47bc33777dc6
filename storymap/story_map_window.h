// "Карта сюжета": the story map of the scenario document drawn as boxes and labelled arrows, kept
// up to date while the author types (the graph and its layout are computed off the GUI thread),
// with zoom, pan, fit, search, a legend, coverage by walkthroughs and export to PNG/SVG.
#pragma once

#include <QPointF>
#include <QString>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storymap/layout.h"
#include "storymap/story_graph.h"

class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QLineEdit;

namespace marvo {

class Dialogs;
class ScenarioDocument;

namespace storymap_view {
class BoxItem;
class EdgeItem;
}  // namespace storymap_view

class StoryMapWindow : public QWidget {
  Q_OBJECT

 public:
  // Draws `document` (with the library set by setLibrary) and follows its edits; file dialogs go
  // through `dialogs`.
  StoryMapWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);
  ~StoryMapWindow() override;

  // The library spliced in as game start splices it (its hooks lead into the scenario's locations).
  void setLibrary(const std::vector<std::string>& library);

  // Walkthroughs' coverage: 1-based scenario lines that ran. Visited locations and edges are drawn
  // as such, the others stand out. clearCoverage() drops the display.
  void showCoverage(const std::vector<int>& visitedLines);
  void clearCoverage();

  // For tests and callers: the scene position of a location's box centre, of the middle of the edge
  // made by a 1-based scenario line, and the name of the selected location (empty for none).
  std::optional<QPointF> locationCentre(const QString& name) const;
  std::optional<QPointF> edgeMiddle(int line) const;
  QString selectedLocation() const;
  QGraphicsView* view() const { return view_; }
  const storymap::StoryGraph& graph() const { return graph_; }
  const storymap::Layout& layout() const { return layout_; }
  QString statusText() const;
  // A computation is running or waiting (the debounce, or a newer text behind the one computed).
  bool updating() const { return computing_ || pending_ || debounce_.isActive(); }

 public slots:
  // Selects and shows the box of the location that holds the 1-based scenario line (the caret's).
  void followLocation(int line);
  // Computes the map again now (the debounce skipped).
  void refresh();
  void fit();
  void zoomIn();
  void zoomOut();
  // Selects the first location whose name contains `text` (any letter case).
  bool findLocation(const QString& text);
  // Asks for a file (PNG or SVG) and writes the map there.
  void exportMap();

 signals:
  void locationActivated(int line);  // a box was clicked: its label line
  void lineActivated(int line);      // an edge was double-clicked: the line that makes it
  void mapUpdated();                 // a new graph and layout are shown

 private:
  friend class storymap_view::BoxItem;
  friend class storymap_view::EdgeItem;
  struct Result;

  void scheduleUpdate();
  void startComputation();
  void apply(std::shared_ptr<Result> result);
  void rebuildScene();
  void updateScene();
  void boxMoved(int node);
  void boxDropped(int node);
  void boxClicked(int node);
  void edgeDoubleClicked(int edge);
  void readSidecar();
  void paintCoverage();
  void setStatus();

  ScenarioDocument& document_;
  Dialogs& dialogs_;
  std::vector<std::string> library_;
  QGraphicsScene* scene_ = nullptr;
  QGraphicsView* view_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer debounce_;
  QThread worker_;
  QObject* workerContext_ = nullptr;  // lives in worker_: computations are queued to it
  std::shared_ptr<std::atomic<int>> latest_;
  int requested_ = 0;
  bool computing_ = false;
  bool pending_ = false;

  storymap::StoryGraph graph_;
  storymap::Layout layout_;
  bool haveLayout_ = false;
  storymap::Placement author_;
  QString sidecarFor_;  // the scenario whose sidecar author_ came from
  QString note_;        // about the sidecar or writing it
  std::vector<storymap_view::BoxItem*> boxes_;
  std::vector<storymap_view::EdgeItem*> edges_;
  std::optional<storymap::Coverage> coverage_;
  std::vector<int> visitedLines_;
  bool coverageShown_ = false;
};

}  // namespace marvo
