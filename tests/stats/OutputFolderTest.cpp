// OutputFolder: the names clearing erases, and only those.
#include "stats/OutputFolder.h"

#include <gtest/gtest.h>

TEST(OutputFolder, ResultNamesAreThoseVornWrites) {
  for (const char* name : {"network.csv", "nodes.csv", "flow_network.csv", "pdf_winners.csv",
                           "pdf_nodes_active.csv", "pdf_packets.csv", "trans_packets.csv",
                           "trans_packets_arrival.csv", "flow_node0.csv", "servicetime_node12.csv",
                           "arrivaltime_node3.csv", "delay_node1999.csv", "packets_node7.csv"})
    EXPECT_TRUE(OutputFolder::IsResultName(name)) << name;
  for (const char* name : {"my_analysis.csv", "old.csv", ".csv", "network.CSV", "pdf_mine.csv",
                           "flow_node.csv", "flow_node03.csv", "flow_node3a.csv",
                           "delay_node-1.csv", "flow_node3.csv.bak", "xnodes.csv", "nodes.csv2"})
    EXPECT_FALSE(OutputFolder::IsResultName(name)) << name;
}
