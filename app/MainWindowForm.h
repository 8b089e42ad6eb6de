#pragma once

class QMainWindow;
class QMenuBar;
class QStatusBar;
class QWidget;

// The frame of the main window: central widget, empty menu bar, blank status bar.
struct MainWindowForm {
    QWidget* centralwidget = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;

    void setupForm(QMainWindow* window);
};
