#pragma once

#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"
#include "imaging/ImageBuffer.h"

#include <QApplication>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

// A document with a picture whose every pixel tells where it is, and views of it sized so that no
// scroll bar or frame takes room from the client area.
class ViewTestBase : public ::testing::Test {
protected:
    static constexpr QRgb kGrey = 0xFF949494;

    // Blue is x, green is y, red mixes both; alpha opaque.
    static QRgb ColourAt(int x, int y) { return qRgb((x * 7 + y * 13) & 0xFF, y & 0xFF, x & 0xFF); }

    static ImageBuffer MakePicture(int width, int height)
    {
        ImageBuffer image;
        image.Create(width, height, 32);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(image.Row(y));
            for (int x = 0; x < width; ++x)
                row[x] = ColourAt(x, y);
        }
        return image;
    }

    void SetPicture(int width, int height) { document_.Image() = MakePicture(width, height); }

    std::unique_ptr<CKestrelView> MakeView(CKestrelDoc* document, int width = 200, int height = 150)
    {
        auto view = std::make_unique<CKestrelView>(document);
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(width, height);
        view->show();
        QApplication::processEvents();
        return view;
    }

    std::unique_ptr<CKestrelView> MakeView(int width = 200, int height = 150)
    {
        return MakeView(&document_, width, height);
    }

    // The client area as painted, kept as a PNG in the test's temporary folder for a reviewer.
    static QImage Grab(CKestrelView& view, const std::string& name = {})
    {
        QImage picture = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (!name.empty()) {
            const std::string path = ::testing::TempDir() + "lumora_view_" + name + ".png";
            if (picture.save(QString::fromStdString(path)))
                std::cout << "picture: " << path << "\n";
        }
        return picture;
    }

    CKestrelDoc document_;
};
