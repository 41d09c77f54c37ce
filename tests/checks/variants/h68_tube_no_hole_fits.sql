-- Immersion tubes with a hole spacing longer than the tube.
-- expect: H68
-- level: 2
UPDATE tbl_rvldaten SET HVE_A = 10 WHERE bez = 'T1';
