// The text form of a component stream, as the program's form definitions are
// kept in resources/forms/, and its parser.
//
// A form source describes one component record: the root (the form), its
// property records and its child components, each child again a record of the
// same shape. The compiler (FormCompiler.h) turns it into the binary stream.
//
//     // a comment runs to the end of the line
//     TForm1 Form1 {                  class name, component name, then the record
//         Left = 203                  integer: decimal, optional '-', 32-bit range
//         Caption = "Setup"           string; escapes \" \\ \r \n \t \xHH; string
//                                     literals standing side by side are joined
//         Color = clBlack             identifier; False, True and nil included;
//                                     dots allowed (a reference Form2.Button1)
//         BorderIcons = {}            set: { name, name, ... }
//         Font.Name = "MS Sans Serif" a dotted property path is just the path
//         Ratio = 1.5                 a number with '.' or an exponent: float
//         Items.Strings = ("a", "b")  list: ( value, value, ... ), nesting allowed
//         Icon.Data = file("form.ico")       binary: the file's bytes
//         Picture.Data = bitmap("logo.bmp")  binary: picture data of a bitmap,
//                                     the short string "TBitmap", the file's
//                                     length (4 bytes), the file's bytes
//         Things = collection { [0] (A = 1  B = 2) (A = 3) }
//                                     collection: items, each an optional
//                                     [index] then ( property records )
//         TImage Image1 {             a child component record
//             Left = 12
//         }
//     }
//
// Property records are written in the order they stand in the source. Within
// a record, all property records come before the first child component: the
// text shows the records in the order of the stream. A property given twice
// in one record, or two components of one form with the same name (both
// ignoring ASCII letter case), are errors. Names, paths and identifiers must
// fit a short string (255 characters).
//
// Files named in file() and bitmap() are looked up when the form is compiled
// (see FormCompiler.h), not here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace formc {

// A mistake in a form source, found at a line (counted from 1).
class FormError : public std::runtime_error {
public:
    FormError(int line, const std::string& message) : std::runtime_error(message), m_line(line) {}
    int Line() const { return m_line; }

private:
    int m_line;
};

struct Property;

struct CollectionItem {
    int line = 0;
    int32_t index = -1;  // -1: no explicit index
    std::vector<Property> properties;
};

struct Value {
    enum class Kind { Integer, Float, String, Ident, Set, List, File, Bitmap, Collection };

    Kind kind = Kind::Integer;
    int line = 0;
    int32_t integer = 0;
    long double real = 0;
    std::string text;                 // String, Ident; the file name of File and Bitmap
    std::vector<std::string> names;   // Set
    std::vector<Value> items;         // List
    std::vector<CollectionItem> collection;
};

struct Property {
    int line = 0;
    std::string path;
    Value value;
};

struct Component {
    int line = 0;
    std::string className;
    std::string name;
    std::vector<Property> properties;
    std::vector<Component> children;
};

// Parses a whole source: exactly one root component record. Raises FormError
// for the first mistake.
Component ParseForm(std::string_view source);

} // namespace formc
