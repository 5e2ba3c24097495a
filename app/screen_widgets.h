#pragma once
// Building blocks of the screens: controls created with their design name
// as objectName, so tests and the screens themselves find them by name.

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace rs::widgets {

inline QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

inline QLabel* label(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

inline QLineEdit* text_box(QWidget* parent, const char* name, const char* text, int width = 0) {
    auto* t = new QLineEdit(text, parent);
    t->setObjectName(name);
    if (width > 0)
        t->setMaximumWidth(width);
    return t;
}

// An option button or check box added to layout.
template <typename Box>
Box* boxed(QWidget* parent, QLayout* layout, const char* name, const char* caption) {
    auto* b = new Box(caption, parent);
    b->setObjectName(name);
    layout->addWidget(b);
    return b;
}

inline QRadioButton* option(QWidget* parent, QLayout* layout, const char* name,
                            const char* caption) {
    return boxed<QRadioButton>(parent, layout, name, caption);
}

inline QCheckBox* check(QWidget* parent, QLayout* layout, const char* name, const char* caption) {
    return boxed<QCheckBox>(parent, layout, name, caption);
}

}  // namespace rs::widgets
