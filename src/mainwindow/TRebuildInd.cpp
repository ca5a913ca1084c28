#include "mainwindow/TRebuildInd.h"

#include "mainwindow/PlaceWindow.h"
#include "store/IndexRebuild.h"
#include "store/Messages.h"
#include "store/RebuildProgress.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace quorvo {

TRebuildInd::TRebuildInd(TodoTable& table, QWidget* parent) : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("RebuildInd"));
    setWindowTitle(tr("Rebuild Indexes"));
    // No title-bar buttons and a fixed border: the window goes away by itself when the work is done.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("Gauge1"));
    m_gauge->setGeometry(17, 32, 258, 43);
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->setTextVisible(true);
    m_gauge->hide();

    m_whatAmIDoing = new QLabel(this);
    m_whatAmIDoing->setObjectName(QStringLiteral("WhatAmIDoing"));
    m_whatAmIDoing->setGeometry(22, 91, 250, 20);
    m_whatAmIDoing->hide();
}

void TRebuildInd::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started)
        QTimer::singleShot(0, this, &TRebuildInd::rebuild);
}

void TRebuildInd::progressReport(int value)
{
    m_gauge->setValue(value);
    QCoreApplication::processEvents();
}

void TRebuildInd::rebuild()
{
    if (m_started)
        return;
    m_started = true;
    m_gauge->show();
    m_whatAmIDoing->clear();
    m_whatAmIDoing->show();

    RebuildProgress gauge;
    IndexRebuild* running = nullptr;
    IndexRebuild rebuildSteps(
        m_table,
        [this](const QString& step) {
            m_whatAmIDoing->setText(step);
            QCoreApplication::processEvents();
        },
        [&](int value) {
            gauge.setPacking(running && running->packing());
            progressReport(gauge.report(value));
        });
    running = &rebuildSteps;
    const xbase::Status status = rebuildSteps.run(m_packFirst);
    m_gauge->hide();
    m_gauge->setValue(0);
    m_finished = true;
    if (!status)
        ShowInfo(Windows1252::toUnicode(status.error().message));
    // Closing from inside the activation would cut the modal loop short before it started.
    QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

void TRebuildInd::closeEvent(QCloseEvent* event)
{
    if (!m_finished) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TRebuildInd::reject()
{
    if (m_finished)
        QDialog::reject();
}

void RunIndexRebuild(TodoTable& table, bool packFirst, QWidget* mainWindow)
{
    TRebuildInd window(table, mainWindow);
    PlaceWindow(&window, mainWindow);
    window.setPackFirst(packFirst);
    window.exec();
}

} // namespace quorvo
