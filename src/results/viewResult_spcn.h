#pragma once

#include <QWidget>

class sbatch;

namespace Ui {
class viewResult_spcn;
}

/// The speciation result window: the result of one water of a batch.
class viewResult_spcn : public QWidget
{
    Q_OBJECT

public:
    explicit viewResult_spcn(QWidget *parent = nullptr);
    ~viewResult_spcn() override;

    /// Shows the result of the water at `waterIndex` of `batch`; the caller shows
    /// and raises the window.
    void update_ui_result(sbatch *batch, int waterIndex);

private:
    Ui::viewResult_spcn *ui = nullptr; ///< owned: the form
};
