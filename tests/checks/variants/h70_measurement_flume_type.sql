-- A measurement flume with a round throat.
-- expect: H70
-- level: 2
UPDATE tbl_rvldaten SET HVE_T = 'K' WHERE bez = 'M1';
