#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;

// The "确定(&O)"/"取消(&C)" row at the foot of our dialogs: appended to
// `layout`, right-aligned, OK the default button, Cancel rejecting the
// dialog. Returns OK so the dialog connects it to its own handler.
QPushButton* AddOkCancelRow(QDialog* dialog, QBoxLayout* layout);
