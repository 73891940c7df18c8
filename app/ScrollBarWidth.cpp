#include "app/ScrollBarWidth.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

int ScrollBarWidth()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
    return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
}
