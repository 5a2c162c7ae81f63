#include "sbatch.h"

sbatch::sbatch()
{
    sdata = new sim_data;
    sdata->initCode = 2;
}

sbatch::~sbatch()
{
    delete sdata;
}
