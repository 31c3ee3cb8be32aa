#pragma once
// The application object. Besides what QApplication does it watches the
// root window's _MB_CURRENT_APP_WINDOW (the window manager's report of the
// current application window) and tells the main view whether it is the
// one. Every X event continues to the toolkit.
#include <QAbstractNativeEventFilter>
#include <QApplication>

class MainView;

class QtClientApplication : public QApplication, public QAbstractNativeEventFilter {
 public:
  QtClientApplication(int& argc, char** argv);
  ~QtClientApplication() override;

  // From here on the window manager's reports reach the view.
  void setMainView(MainView* view);

  bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

 private:
  // A PropertyNotify of the root window for the current-window atom.
  void x11PropertyNotify(quint64 window, quint64 atom, bool newValue);

  MainView* iMainView = nullptr;
};
