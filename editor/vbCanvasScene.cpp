#include "vbCanvasScene.h"

#include "vbCanvasView.h"
#include "vbCavas.h"
#include "vbImageItem.h"
#include "vbTextItem.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

constexpr int overlayIdKey = 0;

// The point every transform of an item turns and scales about.
QPointF centreOf(const QGraphicsItem* item)
{
    const QRectF b = item->boundingRect();
    return QPointF(int(b.width() * 0.5), int(b.height() * 0.5));
}

// Draws the text as filled outlines, line by line where the item lays it out,
// so the output matches what the canvas shows, line breaks included.
void drawText(QPainter* painter, const vbTextItem* item)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath path;
    const QFont font = item->font();
    const QTextDocument* doc = item->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        const QPointF origin = doc->documentLayout()->blockBoundingRect(block).topLeft();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const QString text = block.text().mid(line.textStart(), line.textLength());
            path.addText(origin.x() + line.x(), origin.y() + line.y() + line.ascent(), font, text);
        }
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(item->defaultTextColor(), Qt::SolidPattern));
    painter->drawPath(path);
}

void makeOverlay(QGraphicsItem* item)
{
    item->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    item->setCursor(Qt::SizeAllCursor);
}

} // namespace

vbCanvasScene::vbCanvasScene(QObject* parent) : QGraphicsScene(parent) {}

void vbCanvasScene::setView(vbCanvasView* view)
{
    m_view = view;
}

void vbCanvasScene::setEditor(vbCavas* editor)
{
    m_editor = editor;
}

quint64 vbCanvasScene::nextOverlayId()
{
    return ++m_lastOverlayId;
}

int vbCanvasScene::nextZ()
{
    return ++m_lastZ;
}

quint64 vbCanvasScene::overlayId(const vbBaseItem* item)
{
    const auto* g = dynamic_cast<const QGraphicsItem*>(item);
    return g ? g->data(overlayIdKey).toULongLong() : 0;
}

void vbCanvasScene::setOverlayId(vbBaseItem* item, quint64 id)
{
    if (QGraphicsItem* g = item->graphicsItem())
        g->setData(overlayIdKey, id);
}

void vbCanvasScene::setPhoto(const QImage& image)
{
    clear();
    m_photo = new vbImageItem();
    m_photo->setZValue(nextZ());
    m_photo->setImage(image);
    const QSize s = m_photo->displaySize();
    setSceneRect(-(s.width() / 2), -(s.height() / 2), s.width(), s.height());
    m_photo->setPos(sceneRect().topLeft());
    addItem(m_photo);
    m_loadFailed = false;
}

bool vbCanvasScene::hasPhoto() const
{
    return m_photo && !m_photo->image().isNull();
}

void vbCanvasScene::setLoadFailed(bool failed)
{
    m_loadFailed = failed;
    invalidate();
}

double vbCanvasScene::scaleX() const
{
    return m_photo ? m_photo->scaleX() : 1.0;
}

double vbCanvasScene::scaleY() const
{
    return m_photo ? m_photo->scaleY() : 1.0;
}

int vbCanvasScene::photoAngle() const
{
    return m_photo ? m_photo->angle() : 0;
}

QSize vbCanvasScene::photoDisplaySize() const
{
    return m_photo ? m_photo->displaySize() : QSize();
}

QList<vbBaseItem*> vbCanvasScene::overlays() const
{
    QList<vbBaseItem*> result;
    const QList<QGraphicsItem*> all = items();
    for (QGraphicsItem* item : all) {
        auto* base = dynamic_cast<vbBaseItem*>(item);
        if (base && item != m_photo)
            result.append(base);
    }
    return result;
}

void vbCanvasScene::updateSceneRect()
{
    const QSize s = m_photo->displaySize();
    const int w = int(s.width() * m_photo->scaleX());
    const int h = int(s.height() * m_photo->scaleY());
    setSceneRect(-(w / 2), -(h / 2), w, h);
}

void vbCanvasScene::zoomTo(double sx, double sy)
{
    if (!m_photo || sx <= 0 || sy <= 0)
        return;
    const double rx = sx / m_photo->scaleX();
    const double ry = sy / m_photo->scaleY();
    m_photo->setItemScale(sx, sy);
    // Each overlay keeps its spot and its size on the photo: its centre moves
    // with the zoom about the photo's centre, and its own scale follows.
    const QList<vbBaseItem*> list = overlays();
    for (vbBaseItem* base : list) {
        QGraphicsItem* item = base->graphicsItem();
        const QPointF c = centreOf(item);
        const QPointF centre = item->pos() + c;
        base->setItemScale(base->scaleX() * rx, base->scaleY() * ry);
        item->setPos(QPointF(centre.x() * rx, centre.y() * ry) - c);
    }
    updateSceneRect();
    invalidate();
}

void vbCanvasScene::rotatePhoto(int a)
{
    if (!m_photo)
        return;
    const int delta = a - m_photo->angle();
    m_photo->setAngle(a);
    // The overlays go round the photo's centre with it and keep their own
    // tilt on it, so they stay on the same part of the picture.
    const QTransform turn = QTransform().rotate(delta);
    const QList<vbBaseItem*> list = overlays();
    for (vbBaseItem* base : list) {
        QGraphicsItem* item = base->graphicsItem();
        const QPointF c = centreOf(item);
        const QPointF centre = turn.map(item->pos() + c);
        base->setAngle(base->angle() + delta);
        item->setPos(centre - c);
    }
    if (m_photo->isRazorMode() && m_photo->hasRazorAspect())
        m_photo->setRazorAspect(m_photo->razorAspect());
    invalidate();
}

void vbCanvasScene::beginRazor()
{
    if (!hasPhoto())
        return;
    m_photo->setRazorMode(true);
    if (m_view)
        m_view->openRazorDialog();
}

bool vbCanvasScene::isRazorMode() const
{
    return m_photo && m_photo->isRazorMode();
}

void vbCanvasScene::setRazorAspect(float ratio)
{
    if (m_photo)
        m_photo->setRazorAspect(ratio);
}

void vbCanvasScene::centrePhoto()
{
    const QPointF c = centreOf(m_photo);
    m_photo->setItemScale(m_photo->scaleX(), m_photo->scaleY());
    m_photo->setPos(-c);
}

void vbCanvasScene::endRazor(bool apply)
{
    if (!m_photo || !m_photo->isRazorMode())
        return;
    if (apply) {
        const QRect cut = m_photo->razorRect().toRect().intersected(m_photo->image().rect());
        if (!cut.isEmpty()) {
            // The kept part's centre becomes the photo's centre; the overlays
            // move with the picture so they stay where they were put on it.
            const QPointF keptCentre(cut.x() + cut.width() / 2, cut.y() + cut.height() / 2);
            const QPointF shift = m_photo->mapToScene(keptCentre);
            m_photo->applyRazor();
            centrePhoto();
            const QList<vbBaseItem*> list = overlays();
            for (vbBaseItem* base : list)
                base->graphicsItem()->moveBy(-shift.x(), -shift.y());
            if (m_editor)
                m_editor->reapplyZoom();
            else
                zoomTo(m_photo->scaleX(), m_photo->scaleY());
        }
    }
    m_photo->setRazorMode(false);
    invalidate();
    if (m_editor) // the crop's hint or warning is done with
        m_editor->setTips(QString());
}

void vbCanvasScene::addOverlay(vbBaseItem* base)
{
    QGraphicsItem* item = base->graphicsItem();
    makeOverlay(item);
    setOverlayId(base, nextOverlayId());
    item->setZValue(nextZ());
    addItem(item);
    clearSelection();
    item->setSelected(true);
    // New overlays take the zoom of the photo, so they show at their own size on it.
    base->setItemScale(scaleX(), scaleX());
}

vbTextItem* vbCanvasScene::addTextOverlay(const QString& text, const QFont& font, const QColor& color)
{
    auto* item = new vbTextItem(text);
    item->setFont(font);
    item->setDefaultTextColor(color);
    item->setPos(0, 0);
    addOverlay(item);
    return item;
}

vbImageItem* vbCanvasScene::addElementOverlay(const QString& path)
{
    auto* item = new vbImageItem();
    item->loadImage(path);
    const QRectF b = item->boundingRect();
    item->setPos(-(int(b.width()) / 2), -(int(b.height()) / 2));
    addOverlay(item);
    return item;
}

vbBaseItem* vbCanvasScene::selectedBaseItem() const
{
    const QList<QGraphicsItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : dynamic_cast<vbBaseItem*>(selected.first());
}

int vbCanvasScene::removeSelected()
{
    int removed = 0;
    const QList<QGraphicsItem*> selected = selectedItems();
    for (QGraphicsItem* item : selected) {
        if (item == m_photo)
            continue;
        removeItem(item);
        delete item;
        ++removed;
    }
    return removed;
}

QImage vbCanvasScene::renderImage() const
{
    if (!hasPhoto())
        return QImage();
    QImage img = m_photo->image();
    const QTransform turn = QTransform().rotate(m_photo->angle());
    if (m_photo->angle() != 0)
        img = img.transformed(turn, Qt::FastTransformation);
    // Canvas to output: back into the photo's own pixels, then turned the way
    // the output picture was turned.
    const QTransform sceneToOutput =
        m_photo->sceneTransform().inverted() *
        QImage::trueMatrix(turn, m_photo->image().width(), m_photo->image().height());

    QList<QGraphicsItem*> all = items();
    std::stable_sort(all.begin(), all.end(), [](const QGraphicsItem* a, const QGraphicsItem* b) {
        return a->zValue() < b->zValue();
    });

    QPainter painter(&img);
    for (const QGraphicsItem* item : std::as_const(all)) {
        if (item == m_photo || !dynamic_cast<const vbBaseItem*>(item))
            continue;
        painter.save();
        painter.setTransform(item->sceneTransform() * sceneToOutput);
        if (const auto* element = dynamic_cast<const vbImageItem*>(item)) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QPointF(0, 0), element->image());
        } else if (const auto* text = dynamic_cast<const vbTextItem*>(item)) {
            drawText(&painter, text);
        }
        painter.restore();
    }
    painter.end();
    return img;
}

vbSceneState vbCanvasScene::snapshot() const
{
    vbSceneState state;
    if (m_photo) {
        state.hasPhoto = true;
        state.photo = m_photo->image();
        state.photoAngle = m_photo->angle();
        state.scaleX = m_photo->scaleX();
        state.scaleY = m_photo->scaleY();
        state.photoZ = m_photo->zValue();
    }
    const QList<vbBaseItem*> list = overlays();
    for (vbBaseItem* base : list) {
        QGraphicsItem* item = base->graphicsItem();
        vbOverlayState o;
        o.id = overlayId(base);
        if (auto* element = dynamic_cast<vbImageItem*>(base)) {
            o.kind = vbOverlayState::Element;
            o.image = element->image();
        } else if (auto* text = dynamic_cast<vbTextItem*>(base)) {
            o.kind = vbOverlayState::Text;
            o.text = text->toPlainText();
            o.font = text->font();
            o.color = text->defaultTextColor();
        }
        o.pos = item->pos();
        o.angle = base->angle();
        o.scaleX = base->scaleX();
        o.scaleY = base->scaleY();
        o.z = item->zValue();
        o.selected = item->isSelected();
        state.overlays.append(o);
    }
    std::stable_sort(state.overlays.begin(), state.overlays.end(),
                     [](const vbOverlayState& a, const vbOverlayState& b) {
                         return a.z < b.z || (a.z == b.z && a.id < b.id);
                     });
    return state;
}

void vbCanvasScene::restore(const vbSceneState& state)
{
    const bool hadPhoto = m_photo != nullptr;
    const double zoomX = hadPhoto ? scaleX() : state.scaleX;
    const double zoomY = hadPhoto ? scaleY() : state.scaleY;
    clear();
    m_photo = nullptr;
    if (state.hasPhoto) {
        m_photo = new vbImageItem();
        m_photo->setImage(state.photo);
        m_photo->setZValue(state.photoZ);
        m_photo->setAngle(state.photoAngle);
        m_photo->setItemScale(state.scaleX, state.scaleY);
        m_photo->setPos(-centreOf(m_photo));
        addItem(m_photo);
    }
    for (const vbOverlayState& o : state.overlays) {
        vbBaseItem* base = nullptr;
        if (o.kind == vbOverlayState::Text) {
            auto* text = new vbTextItem(o.text);
            text->setFont(o.font);
            text->setDefaultTextColor(o.color);
            base = text;
        } else {
            auto* element = new vbImageItem();
            element->setImage(o.image);
            base = element;
        }
        QGraphicsItem* item = base->graphicsItem();
        makeOverlay(item);
        item->setZValue(o.z);
        setOverlayId(base, o.id);
        base->setAngle(o.angle);
        base->setItemScale(o.scaleX, o.scaleY);
        item->setPos(o.pos);
        addItem(item);
        item->setSelected(o.selected);
    }
    if (m_photo) {
        // The zoom is the view's, not the edit's: keep what is shown now.
        if (zoomX != state.scaleX || zoomY != state.scaleY)
            zoomTo(zoomX, zoomY);
        else
            updateSceneRect();
    }
    invalidate();
}

void vbCanvasScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    painter->fillRect(rect, QColor(235, 240, 247, 255));
    if (!m_photo && !m_loadFailed) {
        if (m_loading.isNull())
            m_loading.load(QStringLiteral(":/Resources/loading.png"));
        painter->drawPixmap(QPointF(-(m_loading.width() / 2), -(m_loading.height() / 2)), m_loading);
    }
}
