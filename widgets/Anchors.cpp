#include "widgets/Anchors.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QWidget>

namespace velmora::widgets {
namespace {

struct Span {
  int start;
  int extent;
};

// One axis of AnchorLayout::place. The centre rule:
//   cx = (x0 + w0 / 2) × W / W0,  x = round(cx − w0 / 2);
// a parent designed at zero extent has no fraction, so the centre then
// moves by half the growth instead.
Span placeAlong(int start, int extent, int designed, int now, bool nearEdge, bool farEdge) {
  const long long growth = static_cast<long long>(now) - designed;
  if (nearEdge && farEdge) {
    const long long stretched = extent + growth;
    return {start, static_cast<int>(std::max(0LL, stretched))};
  }
  if (farEdge) return {static_cast<int>(start + growth), extent};
  if (nearEdge) return {start, extent};
  const double centre = start + extent / 2.0;
  const double moved = designed > 0 ? centre * now / designed : centre + growth / 2.0;
  return {static_cast<int>(std::lround(moved - extent / 2.0)), extent};
}

}  // namespace

AnchorLayout::AnchorLayout(QWidget* parent) : QObject(parent), parent_(parent) {
  if (parent_) parent_->installEventFilter(this);
}

void AnchorLayout::add(QWidget* child, int anchors) {
  if (!child || !parent_) return;
  Entry* entry = entryFor(child);
  if (!entry) {
    entries_.push_back(Entry{child, {}, {}, 0});
    entry = &entries_.back();
    child->installEventFilter(this);
  }
  entry->original = child->geometry();
  entry->designed = parent_->size();
  entry->anchors = anchors;
}

void AnchorLayout::remove(QWidget* child) {
  const auto gone = std::remove_if(entries_.begin(), entries_.end(),
                                   [child](const Entry& entry) { return entry.child == child; });
  if (gone == entries_.end()) return;
  entries_.erase(gone, entries_.end());
  if (child) child->removeEventFilter(this);
}

QRect AnchorLayout::place(const QRect& original, const QSize& designed, const QSize& now,
                          int anchors) {
  const Span x = placeAlong(original.x(), original.width(), designed.width(), now.width(),
                            anchors & AnchorLeft, anchors & AnchorRight);
  const Span y = placeAlong(original.y(), original.height(), designed.height(), now.height(),
                            anchors & AnchorTop, anchors & AnchorBottom);
  return QRect(x.start, y.start, x.extent, y.extent);
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_) {
    if (event->type() == QEvent::Resize) placeAll();
  } else if (!placing_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    // A child that moves or sizes itself is designed anew where it now stands.
    if (Entry* entry = entryFor(watched)) {
      entry->original = entry->child->geometry();
      entry->designed = parent_->size();
    }
  }
  return QObject::eventFilter(watched, event);
}

void AnchorLayout::placeAll() {
  placing_ = true;
  const QSize now = parent_->size();
  for (const Entry& entry : entries_) {
    if (!entry.child) continue;
    const QRect current = entry.child->geometry();
    QRect target = place(entry.original, entry.designed, now, entry.anchors);
    // An axis held by its near edge alone depends on nothing: the child
    // keeps whatever place and size it has given itself there.
    if ((entry.anchors & (AnchorLeft | AnchorRight)) == AnchorLeft) {
      target.setLeft(current.left());
      target.setWidth(current.width());
    }
    if ((entry.anchors & (AnchorTop | AnchorBottom)) == AnchorTop) {
      target.setTop(current.top());
      target.setHeight(current.height());
    }
    if (target != current) entry.child->setGeometry(target);
  }
  placing_ = false;
}

AnchorLayout::Entry* AnchorLayout::entryFor(const QObject* child) {
  for (Entry& entry : entries_)
    if (entry.child == child) return &entry;
  return nullptr;
}

}  // namespace velmora::widgets
