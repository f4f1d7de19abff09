#include "cli/HtmlSelectionDocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <strings.h>
#include <memory>
#include <stdexcept>

namespace hv::cli {
namespace {

using XmlDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

std::string Attribute(xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) {
    return {};
  }
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

bool HasAttribute(xmlNode* node, const char* name) {
  return xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

bool IsCheckBox(xmlNode* node) {
  return strcasecmp(reinterpret_cast<const char*>(node->name), "input") == 0 &&
         strcasecmp(Attribute(node, "type").c_str(), "checkbox") == 0;
}

}  // namespace

HtmlSelectionDocument::HtmlSelectionDocument(const std::string& path) {
  const XmlDocument document(
      htmlReadFile(path.c_str(), "utf-8",
                   HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET),
      xmlFreeDoc);
  if (document == nullptr) {
    throw std::runtime_error("The selection page '" + path + "' could not be read.");
  }
  // Document order is the order of a depth-first walk; the tree's depth is the page's, so
  // the walk keeps its own stack instead of recursing.
  std::vector<xmlNode*> pending{xmlDocGetRootElement(document.get())};
  while (!pending.empty()) {
    xmlNode* node = pending.back();
    pending.pop_back();
    if (node == nullptr) {
      continue;
    }
    if (node->type == XML_ELEMENT_NODE) {
      const bool box = IsCheckBox(node);
      Add(Attribute(node, "id"), Attribute(node, "name"), box,
          box && HasAttribute(node, "checked"));
    }
    std::vector<xmlNode*> children;
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
      children.push_back(child);
    }
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
}

void HtmlSelectionDocument::Add(const std::string& id, const std::string& name, bool isCheckBox,
                                bool checked) {
  Element element;
  if (isCheckBox) {
    element.checkBox = static_cast<int>(boxes_.size());
    boxes_.push_back({id.empty() ? name : id, checked});
  }
  const size_t index = elements_.size();
  elements_.push_back(element);
  if (!id.empty()) {
    byKey_[id].push_back(index);
  }
  if (!name.empty() && name != id) {
    byKey_[name].push_back(index);
  }
}

const HtmlSelectionDocument::Element* HtmlSelectionDocument::OnlyElement(
    const std::string& key) const {
  const auto found = byKey_.find(key);
  if (found == byKey_.end() || found->second.size() != 1) {
    return nullptr;
  }
  return &elements_[found->second.front()];
}

bool HtmlSelectionDocument::IsCheckedByKey(const std::string& key) {
  const Element* element = OnlyElement(key);
  return element != nullptr && element->checkBox >= 0 && boxes_[element->checkBox].checked;
}

int HtmlSelectionDocument::CheckBoxCount() {
  return static_cast<int>(boxes_.size());
}

bool HtmlSelectionDocument::CheckBoxState(int position) {
  return boxes_.at(position).checked;
}

void HtmlSelectionDocument::ClickCheckBox(int position) {
  boxes_.at(position).checked = !boxes_.at(position).checked;
}

int HtmlSelectionDocument::CheckBoxPosition(const std::string& key) const {
  const Element* element = OnlyElement(key);
  return element == nullptr ? -1 : element->checkBox;
}

const std::string& HtmlSelectionDocument::CheckBoxKey(int position) const {
  return boxes_.at(position).key;
}

}  // namespace hv::cli
