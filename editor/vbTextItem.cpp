#include "vbTextItem.h"

vbTextItem::vbTextItem(const QString& text, QGraphicsItem* parent) : QGraphicsTextItem(text, parent) {}

vbTextItem::~vbTextItem() = default;
