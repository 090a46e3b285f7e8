// The two documents written from point lists: placemarks (kmlmarks,
// kmlmarks_basic) and one path (kmlpath). A document is created once the
// menus are answered and gets its head, one entry per point, and its
// closing lines at the end of the list, or when a bad record stops the
// run, so that what was written stays a whole document.
#pragma once

#include <utility>

#include "common/text_writer.h"
#include "kml/point_list.h"

namespace kml {

// What makes one kind of document: its head, the entry of one point and
// its closing lines.
struct DocumentKind {
    void (*write_head)(common::TextWriter& file);
    void (*add)(common::TextWriter& file, const PointRecord& point);
    void (*write_tail)(common::TextWriter& file);
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
extern const DocumentKind placemark_document;

// A KML 2.2 document of one placemark whose line string runs through the
// points in list order, one "lon,lat" line per vertex, without heights.
extern const DocumentKind path_document;

class PointDocument {
public:
    PointDocument(common::TextWriter file, const DocumentKind& kind) : file_(std::move(file)), kind_(kind) {}

    void write_head() { kind_.write_head(file_); }
    void add(const PointRecord& point) { kind_.add(file_, point); }
    // The closing lines; then the file is closed.
    void finish() {
        kind_.write_tail(file_);
        file_.close();
    }

private:
    common::TextWriter file_;
    const DocumentKind& kind_;
};

}  // namespace kml
