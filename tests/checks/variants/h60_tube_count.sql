-- Immersion tubes without their number.
-- expect: H60
-- level: 2
UPDATE tbl_rvldaten SET HVE_N = NULL WHERE bez = 'T1';
