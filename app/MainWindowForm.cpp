#include "MainWindowForm.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

void MainWindowForm::setupForm(QMainWindow* window)
{
    if (window->objectName().isEmpty())
        window->setObjectName("MainWindow");
    window->resize(744, 592);

    centralwidget = new QWidget(window);
    centralwidget->setObjectName("centralwidget");
    QSizePolicy policy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    policy.setHeightForWidth(centralwidget->sizePolicy().hasHeightForWidth());
    centralwidget->setSizePolicy(policy);
    window->setCentralWidget(centralwidget);

    menubar = new QMenuBar(window);
    menubar->setObjectName("menubar");
    menubar->setGeometry(QRect(0, 0, 744, 18));
    window->setMenuBar(menubar);

    statusbar = new QStatusBar(window);
    statusbar->setObjectName("statusbar");
    window->setStatusBar(statusbar);

    window->setWindowTitle(QCoreApplication::translate("MainWindow", "MainWindow", nullptr));
}
