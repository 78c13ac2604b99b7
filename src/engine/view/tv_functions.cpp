// The region functions of the engine library: hotspot counts and records,
// keyboard focus on hotspots, selections and address conversions.
#include "engine_errors.h"
#include "region_view.h"
#include "title_schema.h"
#include "topicview.h"

#include <QTextCursor>

#include <cstring>

namespace folium::engine {

namespace {

bool setErr(TVError *err, long code)
{
    if (err)
        err->code = code;
    return code == 0;
}

TopicView *viewOf(QWidget *w)
{
    for (QObject *o = w; o; o = o->parent())
        if (auto *v = qobject_cast<TopicView *>(o))
            return v;
    return nullptr;
}

RegionView *regionOf(TVRegion r)
{
    return r.view ? r.view->regionView(r.region) : nullptr;
}

void fillInfo(RegionView *rv, const TopicView &view, int spanIndex, TVHotspotInfo *info)
{
    if (!info)
        return;
    const HotspotSpan &s = rv->hotspots()[size_t(spanIndex)];
    const QRect r = rv->spanRect(spanIndex);
    *info = {};
    info->field[1] = s.ordinal;
    info->field[2] = r.left();
    info->field[3] = r.top();
    info->field[4] = r.width();
    info->field[5] = r.height();
    for (const StoredHotspot &h : view.storedHotspots()) {
        if (h.ordinal == s.ordinal) {
            info->field[6] = long(h.id);
            info->field[7] = h.kind;
        }
    }
}

} // namespace

uint32_t vaTVConvertContextString(QWidget *viewerWindow, const char *contextString)
{
    TopicView *v = viewOf(viewerWindow);
    if (!v || !v->titleFile() || !contextString)
        return 0;
    // Read at most a context string's worth of bytes, whatever the caller passed.
    const size_t len = strnlen(contextString, 256);
    const auto t = v->titleFile()->context(QString::fromLatin1(contextString, qsizetype(len)));
    if (!t)
        return 0;
    const auto rec = v->titleFile()->topic(t->topic);
    return rec ? rec->va : 0;
}

uint32_t vaTVConvertHash(QWidget *viewerWindow, uint32_t hash)
{
    TopicView *v = viewOf(viewerWindow);
    if (!v || !v->titleFile())
        return 0;
    const auto t = v->titleFile()->contextById(hash);
    if (!t)
        return 0;
    const auto rec = v->titleFile()->topic(t->topic);
    return rec ? rec->va : 0;
}

long lTVGetHotspotCount(TVRegion region, TVError *err)
{
    RegionView *rv = regionOf(region);
    if (!rv) {
        setErr(err, kErrBadRegion);
        return 0;
    }
    setErr(err, 0);
    return long(rv->hotspots().size());
}

bool fTVGetHotspotInfo(TVRegion region, long index, TVHotspotInfo *info, TVError *err)
{
    RegionView *rv = regionOf(region);
    if (!rv || index < 0 || index >= long(rv->hotspots().size()))
        return setErr(err, kErrBadRegion);
    fillInfo(rv, *region.view, int(index), info);
    return setErr(err, 0);
}

bool fTVFocusInfo(TVRegion region, TVHotspotInfo *info, TVError *err)
{
    RegionView *rv = regionOf(region);
    if (!rv)
        return setErr(err, kErrBadRegion);
    if (rv->focusIndex() < 0)
        return setErr(err, kErrNoFocusedHotspot);
    fillInfo(rv, *region.view, rv->focusIndex(), info);
    return setErr(err, 0);
}

bool fTVMoveFocus(TVRegion region, long direction, TVError *err)
{
    RegionView *rv = regionOf(region);
    if (!rv)
        return setErr(err, kErrBadRegion);
    // −1 is the engine's "next hotspot"; any other value steps back.
    rv->moveFocus(direction == -1 ? 1 : -1);
    return setErr(err, 0);
}

bool fTVClearSelection(TVRegion region, TVError *err)
{
    RegionView *rv = regionOf(region);
    if (!rv)
        return setErr(err, kErrBadRegion);
    QTextCursor c = rv->textCursor();
    c.clearSelection();
    rv->setTextCursor(c);
    return setErr(err, 0);
}

QWidget *hwndTVGetWindow(TVRegion region)
{
    RegionView *rv = regionOf(region);
    return rv ? rv->viewport() : nullptr;
}

TVHighlights hTVGetHighlights(TVRegion region)
{
    if (!region.view || !region.view->regionView(region.region))
        return {};
    return std::make_shared<const std::vector<HighlightSpan>>(region.view->highlightSpans(region.region));
}

long lTVTopicHighlightCount(const TVHighlights &set)
{
    return set ? long(set->size()) : 0;
}

bool hTVSetHighlights(TVRegion region, const TVHighlights &set, long flags, TVError *err)
{
    Q_UNUSED(flags);
    if (!region.view || !region.view->regionView(region.region))
        return setErr(err, kErrBadRegion);
    region.view->setHighlightSpans(region.region, set ? *set : std::vector<HighlightSpan>());
    return setErr(err, 0);
}

} // namespace folium::engine
