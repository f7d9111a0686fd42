#pragma once

#include "vbBaseItem.h"

#include <QGraphicsTextItem>

// A text overlay: plain text in one font and one colour, not editable in place.
class vbTextItem : public QGraphicsTextItem, public vbBaseItem
{
    Q_OBJECT
public:
    explicit vbTextItem(const QString& text, QGraphicsItem* parent = nullptr);
    ~vbTextItem() override;
};
