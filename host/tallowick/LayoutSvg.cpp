// The picture of `inspect --svg`: every element's layout box in grey, each kit
// object's rectangle (attribute 70, screen coordinates with the browser's
// client area at 0,0) outlined in colour with its class and name.
#include <algorithm>
#include <fstream>

#include "Inspect.h"
#include "WebValues.h"

namespace tallowick::cli {
namespace {

constexpr LONG kAttrRect = 70;

struct Box {
  LONG left, top, right, bottom;
};

std::string Escape(const std::string &text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '&':
      out += "&amp;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

std::vector<Box> ElementBoxes(IHTMLDocument2 *document) {
  std::vector<Box> boxes;
  Ref<IHTMLElementCollection> all;
  LONG count = 0;
  if (document == nullptr || FAILED(document->get_all(all.Out())) || !all ||
      FAILED(all->get_length(&count)))
    return boxes;
  for (LONG i = 0; i < count; ++i) {
    VARIANT at, none;
    at.vt = VT_I4;
    at.lVal = i;
    VariantInit(&none);
    Ref<IDispatch> item;
    Ref<IHTMLElement2> element;
    Ref<IHTMLRect> rect;
    if (FAILED(all->item(at, none, item.Out())) || !item || !(element = item.As<IHTMLElement2>()) ||
        FAILED(element->getBoundingClientRect(rect.Out())) || !rect)
      continue;
    Box box{};
    rect->get_left(&box.left);
    rect->get_top(&box.top);
    rect->get_right(&box.right);
    rect->get_bottom(&box.bottom);
    if (box.right > box.left && box.bottom > box.top)
      boxes.push_back(box);
  }
  return boxes;
}

bool ObjectBox(IWebObj2 *ao, Box &box) {
  Ref<IWebAttrVal> value;
  if (FAILED(ao->GetAttr(kAttrRect, nullptr, value.Out())) || !value ||
      ValueCount(value.Get()) == 0)
    return false;
  EntryValue rect = ValueAt(value.Get(), 0);
  if (rect.kind != EntryValue::Kind::Rect)
    return false;
  box = Box{rect.box[0], rect.box[1], rect.box[2], rect.box[3]};
  return box.right >= box.left && box.bottom >= box.top;
}

std::string RectElement(const Box &box, const char *style) {
  return "<rect x=\"" + std::to_string(box.left) + "\" y=\"" + std::to_string(box.top) +
         "\" width=\"" + std::to_string(box.right - box.left) + "\" height=\"" +
         std::to_string(box.bottom - box.top) + "\" " + style + "/>\n";
}

} // namespace

bool WriteLayoutSvg(const PageSession &session, const std::vector<InspectedObject> &objects,
                    const std::string &path) {
  Ref<IHTMLDocument2> document = session.Document();
  std::vector<Box> boxes = ElementBoxes(document.Get());
  std::string shapes;
  LONG width = 320, height = 240;
  for (const Box &box : boxes) {
    shapes += RectElement(box, "class=\"box\"");
    width = std::max(width, box.right);
    height = std::max(height, box.bottom);
  }
  for (const InspectedObject &inspected : objects) {
    Box box{};
    if (!ObjectBox(inspected.object.ao.Get(), box) ||
        (box.right == box.left && box.bottom == box.top))
      continue; // nothing laid out (a hidden element)
    // Controls are labelled; the objects inside them are outlined, with their
    // class and name as a tool tip.
    const TreeObject &object = inspected.object;
    std::string label = Escape(object.className + " \"" + object.name + "\"");
    bool control = object.webClass <= 1030;
    shapes += "<g class=\"kit\" data-class=\"" + Escape(object.className) + "\" data-name=\"" +
              Escape(object.name) + "\">\n" +
              RectElement(box, control ? "class=\"outline\"" : "class=\"inner\"") + "<title>" +
              label + "</title>\n";
    if (control)
      shapes += "<text x=\"" + std::to_string(box.left + 2) + "\" y=\"" +
                std::to_string(box.top + 12) + "\">" + label + "</text>\n";
    shapes += "</g>\n";
    width = std::max(width, box.right);
    height = std::max(height, box.bottom);
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width + 10 << "\" height=\""
      << height + 10 << "\" viewBox=\"0 0 " << width + 10 << " " << height + 10 << "\">\n"
      << "<style>.box{fill:none;stroke:#bbb;stroke-width:1}"
         ".outline{fill:rgba(220,40,40,0.08);stroke:#d22;stroke-width:2}"
         ".inner{fill:none;stroke:#36c;stroke-width:1;stroke-dasharray:3 2}"
         "text{font:11px sans-serif;fill:#a11}</style>\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << shapes << "</svg>\n";
  return static_cast<bool>(out);
}

} // namespace tallowick::cli
