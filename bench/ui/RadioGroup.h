#pragma once

#include <QGroupBox>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio items chosen by index (-1: none selected).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& caption, QWidget* parent = nullptr);

    // Replaces the items; the selection is cleared.
    void setItems(const QStringList& items);
    int itemCount() const;
    QRadioButton* item(int index) const;
    int itemIndex() const;
    void setItemIndex(int index);

private:
    QButtonGroup* m_group;
};
