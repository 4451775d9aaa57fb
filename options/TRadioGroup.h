#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

// A framed group of radio buttons laid out in columns, whose state is the
// index of the checked item (-1 for none).
class TRadioGroup final : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns,
                QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index outside the items clears the group.
    void SetItemIndex(int index);
    int Count() const;

signals:
    // Emitted for every change of the checked item, from a click or from code.
    void ItemIndexChanged(int index);

private:
    QButtonGroup* group_;
};
