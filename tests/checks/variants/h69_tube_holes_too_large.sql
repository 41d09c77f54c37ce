-- Immersion tubes with holes as large as the tube.
-- expect: H69
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = 0.4 WHERE bez = 'T1';
