// GenServices(): the calling thread's services object, reached anew on every use, so that one
// Python object serves every thread and each thread sees its own settings.
#include "Bindings.h"
#include "Convert.h"

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <qor/Application.h>
#include <qor/GenServices.h>

#include <memory>
#include <optional>
#include <tuple>

namespace qorpy {

namespace {

// Stands for the calling thread's qor::GenServices() in Python.
struct ThreadServices {};

qor::GenServicesObject& S() { return qor::GenServices(); }

// A Python observer, kept by the thread's services object until the thread ends: it takes the
// GIL to answer, and lets go of the callable only while the interpreter still runs.
struct PyObserver {
    std::shared_ptr<py::object> callable;

    explicit PyObserver(py::object f)
        : callable(new py::object(std::move(f)), [](py::object* o) {
              if (Py_IsInitialized()) {
                  py::gil_scoped_acquire gil;
                  delete o;
              }
          }) {}

    std::optional<int32_t> operator()(const qor::Message& message) const {
        py::gil_scoped_acquire gil;
        py::object answer = (*callable)(message);
        if (answer.is_none()) return std::nullopt;
        return answer.cast<int32_t>();
    }
};

// A read-write attribute of the calling thread's services object.
template <typename T>
void Setting(py::class_<ThreadServices>& c, const char* name, T qor::GenServicesObject::*member) {
    c.def_property(
        name, [member](const ThreadServices&) { return S().*member; },
        [member](ThreadServices&, T value) { S().*member = std::move(value); });
}

}  // namespace

void BindServices(py::module_& m) {
    py::class_<qor::Application>(m, "Application", "The client program: its executable name and folder.")
        .def(py::init([](std::string exe, std::string path) { return qor::Application{std::move(exe), std::move(path)}; }),
             py::arg("EXEName") = "", py::arg("Path") = "")
        .def_readwrite("EXEName", &qor::Application::EXEName)
        .def_readwrite("Path", &qor::Application::Path)
        .def(py::self == py::self)
        .def("__repr__", [](const qor::Application& a) { return "Application('" + a.EXEName + "', '" + a.Path + "')"; });

    py::class_<qor::Message>(m, "Message", "A message as GenServices().ShowMessage received it.")
        .def_readonly("text", &qor::Message::text)
        .def_readonly("style", &qor::Message::style)
        .def_readonly("title", &qor::Message::title);

    py::class_<ThreadServices> c(m, "GenServicesObject",
                                 "The calling thread's services: every attribute reads or sets the "
                                 "setting of the thread that uses it.");
    Setting(c, "LanguageOffset", &qor::GenServicesObject::LanguageOffset);
    Setting(c, "LastErrorNumber", &qor::GenServicesObject::LastErrorNumber);
    Setting(c, "LastErrorText", &qor::GenServicesObject::LastErrorText);
    Setting(c, "ApplicationDiffers", &qor::GenServicesObject::ApplicationDiffers);
    Setting(c, "FormActivated", &qor::GenServicesObject::FormActivated);
    Setting(c, "NoLayoutCheck", &qor::GenServicesObject::NoLayoutCheck);
    Setting(c, "UseApplicationFolder", &qor::GenServicesObject::UseApplicationFolder);
    Setting(c, "Unattended", &qor::GenServicesObject::Unattended);
    Setting(c, "RegisteredApplication", &qor::GenServicesObject::RegisteredApplication);
    c.def_property_readonly("FieldSeparator", [](const ThreadServices&) { return S().FieldSeparator; })
        .def_property_readonly("MessageSeparator", [](const ThreadServices&) { return S().MessageSeparator; })
        .def_property(
            "Locale", [](const ThreadServices&) { return S().Locale.Name(); },
            [](ThreadServices&, const std::string& name) { S().Locale = name; },
            "The thread's locale for numbers and dates ('nl_BE', 'en_US', ...).")
        .def("SharedText", [](const ThreadServices&, int32_t id) { return S().SharedText(id); }, py::arg("id"))
        .def("MmToTwips", [](const ThreadServices&, float mm) { return S().MmToTwips(mm); }, py::arg("mm"))
        .def("TwipsToMm", [](const ThreadServices&, float twips) { return S().TwipsToMm(twips); }, py::arg("twips"))
        .def("ToNumber", [](const ThreadServices&, const qor::Variant& v) { return S().ToNumber(v); }, py::arg("value"))
        .def(
            "ShowMessage",
            [](ThreadServices&, const std::string& text, int32_t style, const std::string& title) {
                return S().ShowMessage(text, style, title);
            },
            py::arg("text"), py::arg("style") = 0, py::arg("title") = "", py::call_guard<py::gil_scoped_release>(),
            "Shows the message and returns the button pressed (the default one when unattended).")
        .def(
            "SetMessageObserver",
            [](ThreadServices&, py::object observer) -> py::object {
                qor::MessageObserver previous =
                    S().SetMessageObserver(observer.is_none() ? qor::MessageObserver() : PyObserver(observer));
                if (const PyObserver* mine = previous.target<PyObserver>()) return *mine->callable;
                return py::none();
            },
            py::arg("observer"),
            "Installs observer(message) -> answer or None for this thread's messages (None removes "
            "it); returns the one it replaces.")
        .def(
            "RegisterApplication",
            [](ThreadServices&, const qor::Application& app, bool differs, const qor::Variant& extra) {
                S().RegisterApplication(app, differs, extra);
            },
            py::arg("app"), py::arg("differs"), py::arg("extra") = py::none())
        .def("ScreenPoint", [](const ThreadServices&, const std::string& axis) { return S().ScreenPoint(axis); },
             py::arg("axis"))
        .def(
            "WindowArea",
            [](const ThreadServices&) {
                int32_t left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
                S().WindowArea(left, top, right, bottom, width, height);
                return std::make_tuple(left, top, right, bottom, width, height);
            },
            "The screen area in twips: (left, top, right, bottom, width, height).")
        .def("FilterKey", [](const ThreadServices&, int16_t ch, const std::string& classes) { return S().FilterKey(ch, classes); },
             py::arg("character"), py::arg("classes"))
        .def(
            "SpinKey",
            [](const ThreadServices&, int32_t key, std::string text, std::optional<int32_t> min, std::optional<int32_t> max) {
                S().SpinKey(key, text, min, max);
                return text;
            },
            py::arg("keyCode"), py::arg("text"), py::arg("min") = py::none(), py::arg("max") = py::none(),
            "Returns `text` stepped by one for key 38 (up) or 40 (down).")
        .def("DataFolder", [](const ThreadServices&, const std::string& folder) { return S().DataFolder(folder); },
             py::arg("folder") = "");

    m.def("GenServices", [] { return ThreadServices{}; },
          "The services of the calling thread (language offset, locale, unattended mode, ...).");
}

}  // namespace qorpy
