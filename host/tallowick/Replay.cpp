#include "Replay.h"

#include "UserInput.h"

namespace tallowick::cli {
namespace {

constexpr LONG kAttrValue = 6;
constexpr LONG kAttrChecked = 17;
constexpr LONG kAttrInnerId = 78;
constexpr LONG kAttrEventName = 64;
constexpr LONG kCallEvent = 3;

const Entry *Find(const std::vector<Entry> &entries, LONG id) {
  for (const Entry &entry : entries) {
    if (entry.id == id)
      return &entry;
  }
  return nullptr;
}

Ref<IHTMLElement> ElementOf(IWebObj2 *ao) {
  Ref<IUnknown> wrapped;
  if (FAILED(ao->GetWrappedElement(wrapped.Out())) || !wrapped)
    return {};
  return wrapped.As<IHTMLElement>();
}

// The object of a runtime id text anywhere in the page's tree.
Ref<IWebObj2> ObjectWithId(const PageSession &session, const std::string &rtid) {
  for (const TreeObject &object : session.Walk()) {
    if (object.rtid == rtid)
      return object.ao;
  }
  return {};
}

// Click: a user's click on the object's element. Set: the value a user gives
// (typed into a field, chosen in a list, a check box's state).
bool RunAction(IWebObj2 *ao, const std::string &method, const std::vector<Entry> &entries,
               StepOutcome &outcome) {
  Ref<IHTMLElement> element = ElementOf(ao);
  if (!element) {
    outcome.error = "the object has no element to act on";
    return false;
  }
  if (method == "Click") {
    outcome.invoke = UserClick(element.Get());
    return true;
  }
  const Entry *checked = Find(entries, kAttrChecked);
  if (checked != nullptr) {
    bool on = checked->value.kind == EntryValue::Kind::Bool ? checked->value.flag
                                                            : checked->value.number != 0;
    outcome.invoke = UserCheck(element.Get(), on);
    return true;
  }
  const Entry *value = Find(entries, kAttrValue);
  if (value == nullptr) {
    outcome.error = "Set needs 6=VALUE (or 17=true/false for a check box)";
    return false;
  }
  if (value->value.kind == EntryValue::Kind::Bool) {
    outcome.invoke = UserCheck(element.Get(), value->value.flag);
    if (outcome.invoke == E_INVALIDARG)
      outcome.error = "a true/false value needs a check box";
    return outcome.error.empty();
  }
  std::string text =
      value->value.kind == EntryValue::Kind::String ? value->value.text : StepText(value->value);
  BSTR tag = nullptr;
  element->get_tagName(&tag);
  if (TakeText(tag) == "SELECT") {
    outcome.invoke = UserSelect(element.Get(), text, outcome.error);
    return outcome.error.empty();
  }
  outcome.invoke = UserType(element.Get(), text);
  if (outcome.invoke == E_INVALIDARG)
    outcome.error = "the element takes no typed value";
  return outcome.error.empty();
}

// The data of a grid's attribute 78 from a step's entries. A DataGrid takes
// row and column (66, 68), the control's position (16389) and its group: 1
// for an input control (a step that sets a value), 0 for a clickable one. An
// UltraGrid takes row and column texts, what the step acts on (16400) and,
// when recorded, the kind of control (16392).
Ref<IWebAttrVal> InnerControlData(const std::string &className, const std::string &method,
                                  const std::vector<Entry> &entries) {
  std::vector<EntryValue> values;
  bool dataGrid = className == "WbfGrid";
  for (LONG id : {66, 68, dataGrid ? 16389 : 16400, dataGrid ? 0 : 16392}) {
    const Entry *entry = id != 0 ? Find(entries, id) : nullptr;
    if (entry != nullptr) {
      values.push_back(entry->value);
    } else if (id == 0 && values.size() == 3) {
      EntryValue group;
      group.kind = EntryValue::Kind::Long;
      group.number = method == "SetCell" ? 1 : 0;
      values.push_back(group);
    } else {
      break;
    }
  }
  return NewAttrVal(values);
}

bool RunCellAction(PageSession &session, IWebObj2 *grid, const std::string &className,
                   const std::string &method, const std::vector<Entry> &entries,
                   StepOutcome &outcome) {
  Ref<IWebAttrVal> data = InnerControlData(className, method, entries);
  Ref<IWebAttrVal> answer;
  HRESULT hr = grid->GetAttr(kAttrInnerId, data.Get(), answer.Out());
  if (FAILED(hr) || !answer || ValueCount(answer.Get()) == 0) {
    outcome.error = "the grid finds no inner control for the step's entries";
    return false;
  }
  Ref<IWebObj2> control = ObjectWithId(session, ValueAt(answer.Get(), 0).text);
  if (!control) {
    outcome.error = "no object has the runtime id " + ValueAt(answer.Get(), 0).text;
    return false;
  }
  return RunAction(control.Get(), method == "SetCell" ? "Set" : "Click", entries, outcome);
}

} // namespace

bool RunMethod(PageSession &session, IWebObj2 *ao, const std::string &className,
               const std::string &method, const std::vector<Entry> &entries, StepOutcome &outcome) {
  if (method == "ClickCell" || method == "SetCell")
    return RunCellAction(session, ao, className, method, entries, outcome);
  if (IsActionMethod(method))
    return RunAction(ao, method, entries, outcome);
  LONG id = MethodId(className, method);
  if (id < 0) {
    outcome.error = "unknown method '" + method + "' for " + className;
    return false;
  }
  std::vector<Entry> request = entries;
  if (id == kCallEvent && Find(request, kAttrEventName) == nullptr) {
    Entry click;
    click.id = kAttrEventName;
    click.value.text = "click";
    request.push_back(click);
  }
  Ref<IWebInfo> info = NewRequest(request);
  if (!info) {
    outcome.error = "cannot build the request (is the host registered?)";
    return false;
  }
  IWebInfo *inout = info.Get();
  inout->AddRef();
  outcome.invoke = ao->InvokeMethod(static_cast<METHOD_NAME_ENUM>(id), &inout);
  Ref<IWebInfo> after(inout, false);
  if (after) {
    outcome.returnValue = after->GetReturnValue();
    outcome.hasReturnValue = true;
    outcome.entries = RecordEntries(after.Get());
  }
  return true;
}

bool RunStep(PageSession &session, const Step &step, StepOutcome &outcome) {
  Ref<IWebObj2> ao = session.FindByClassAndName(step.className, step.name);
  if (!ao) {
    outcome.error = "no " + step.className + " \"" + step.name + "\" on the page";
    return false;
  }
  return RunMethod(session, ao.Get(), step.className, step.method, step.entries, outcome);
}

bool Succeeded(const StepOutcome &outcome) {
  return outcome.error.empty() && SUCCEEDED(outcome.invoke) &&
         (!outcome.hasReturnValue || SUCCEEDED(outcome.returnValue));
}

} // namespace tallowick::cli
