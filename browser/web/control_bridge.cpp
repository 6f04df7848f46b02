#include "browser/web/control_bridge.h"

#include <functional>
#include <map>

namespace kinvo::web {
namespace {

int number(const QVariantList& args, int index) {
    return args.at(index).toInt();
}

}  // namespace

ControlBridge::ControlBridge(PlaybackControl& control, QObject* parent)
    : QObject(parent), control_(control) {}

void ControlBridge::call(const QString& name, const QVariantList& args) {
    using Handler = std::function<void(ControlBridge&, const QVariantList&)>;
    struct Entry {
        int arguments;
        Handler handler;
    };
    static const std::map<QString, Entry> kCalls = {
        {QStringLiteral("setCallback"),
         {0, [](ControlBridge& b, const QVariantList&) { b.control_.setCallback(b); }}},
        {QStringLiteral("SetCrossInstanceControl"),
         {1, [](ControlBridge& b,
                const QVariantList& a) { b.control_.SetCrossInstanceControl(number(a, 0)); }}},
        {QStringLiteral("SetVideoAutoSize"),
         {1, [](ControlBridge& b,
                const QVariantList& a) { b.control_.SetVideoAutoSize(number(a, 0)); }}},
        {QStringLiteral("SetVideoLogo"),
         {1,
          [](ControlBridge& b, const QVariantList& a) { b.control_.SetVideoLogo(number(a, 0)); }}},
        {QStringLiteral("SetRetryParams"),
         {2, [](ControlBridge& b,
                const QVariantList& a) { b.control_.SetRetryParams(number(a, 0), number(a, 1)); }}},
        {QStringLiteral("SetFallbackParams"),
         {2,
          [](ControlBridge& b, const QVariantList& a) {
              b.control_.SetFallbackParams(number(a, 0), number(a, 1));
          }}},
        {QStringLiteral("SetUseCustomDRMURL"),
         {1, [](ControlBridge& b,
                const QVariantList& a) { b.control_.SetUseCustomDRMURL(number(a, 0)); }}},
        {QStringLiteral("AppendFileToPlaylist"),
         {1,
          [](ControlBridge& b, const QVariantList& a) {
              b.control_.AppendFileToPlaylist(a.at(0).toString().toStdString());
          }}},
        {QStringLiteral("Repeat"),
         {1, [](ControlBridge& b, const QVariantList& a) { b.control_.setRepeat(number(a, 0)); }}},
        {QStringLiteral("Play"),
         {0, [](ControlBridge& b, const QVariantList&) { b.control_.Play(); }}},
        {QStringLiteral("SetVideoHWND"),
         {1, [](ControlBridge& b,
                const QVariantList& a) { b.control_.SetVideoHWND(a.at(0).toULongLong()); }}},
        {QStringLiteral("Deinitialize"),
         {0,
          [](ControlBridge& b, const QVariantList&) {
              b.control_.Deinitialize();
              emit b.deinitialized();
          }}},
    };
    const auto found = kCalls.find(name);
    if (found == kCalls.end() || args.size() < found->second.arguments) {
        return;
    }
    found->second.handler(*this, args);
}

void ControlBridge::placeWindow(double x, double y, double width, double height) {
    emit windowPlaced(QRectF(x, y, width, height));
}

}  // namespace kinvo::web
