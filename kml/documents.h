// The two documents written from point lists: placemarks (kmlmarks,
// kmlmarks_basic) and one path (kmlpath). A document is created when its
// name is typed, gets its head once the menus are answered, one entry per
// point, and its closing lines at the end of the list, or when a bad
// record stops the run, so that what was written stays a whole document.
#pragma once

#include <utility>

#include "common/text_writer.h"
#include "kml/point_list.h"

namespace kml {

class PointDocument {
public:
    explicit PointDocument(common::TextWriter file) : file_(std::move(file)) {}
    virtual ~PointDocument() = default;
    PointDocument(const PointDocument&) = delete;
    PointDocument& operator=(const PointDocument&) = delete;

    virtual void write_head() = 0;
    virtual void add(const PointRecord& point) = 0;
    // The closing lines; then the file is closed.
    void finish() {
        write_tail();
        file_.close();
    }

protected:
    virtual void write_tail() = 0;

    common::TextWriter file_;
};

// A KML 2.1 document of one Point placemark per point, named after it:
//
//   <?xml version="1.0" encoding="UTF-8"?>     <Placemark>
//   <kml xmlns="...2.1">                       <name>12</name>
//   <Document>                                 <Point>
//   (empty)                                    <coordinates>23.300000,42.500000,0
//   ... one block per point ...                </coordinates>
//   </Document></kml>                          </Point>
//                                              </Placemark>
//                                              (empty)
class PlacemarkDocument : public PointDocument {
public:
    using PointDocument::PointDocument;
    void write_head() override;
    void add(const PointRecord& point) override;

private:
    void write_tail() override;
};

// A KML 2.2 document of one placemark whose line string runs through the
// points in list order, one "lon,lat" line per vertex, without heights.
class PathDocument : public PointDocument {
public:
    using PointDocument::PointDocument;
    void write_head() override;
    void add(const PointRecord& point) override;

private:
    void write_tail() override;
};

}  // namespace kml
